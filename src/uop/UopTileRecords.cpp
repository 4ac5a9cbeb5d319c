#include "uop/UopTileRecords.h"

#include "model/Error.h"
#include "model/NumberText.h"
#include "mulfiles/Extractor.h"
#include "uop/UopMultiFlags.h"
#include "uop/UopMultis.h"

namespace keelwright {

UopTile UopTileOfRecord(const ComponentRecord& record) {
    return UopTile{
        record.ItemId, record.X, record.Y, record.Z, UopFlagsOfMul({record.Flags, record.Extra}), {}};
}

ComponentRecord RecordOfUopTile(const UopTile& tile) {
    const MulTileFlags flags = MulFlagsOfUop(tile.Flags);
    return ComponentRecord{tile.ItemId, tile.X, tile.Y, tile.Z, flags.flags, flags.extra};
}

std::vector<UopTile> UopTilesOfBlock(std::span<const std::uint8_t> block, RecordSize size) {
    const std::size_t bytes = BytesOf(size);
    std::vector<UopTile> tiles(block.size() / bytes);
    for (std::size_t k = 0; k < tiles.size(); ++k) {
        try {
            tiles[k] = UopTileOfRecord(ComponentRecord::decode(block.subspan(k * bytes), size));
        } catch (const Error& e) {
            throw Error(e.number(),
                        "component " + NumberText(static_cast<std::int64_t>(k)) + ": " + e.reason());
        }
    }
    return tiles;
}

std::vector<ComponentRecord> ComponentsOfUopTiles(std::span<const UopTile> tiles, bool exact) {
    const std::size_t first = !exact && !tiles.empty() && tiles.front() == UopTile::lead() ? 1 : 0;
    std::vector<ComponentRecord> components(tiles.size() - first);
    for (std::size_t k = 0; k < components.size(); ++k) {
        try {
            components[k] = RecordOfUopTile(tiles[k + first]);
        } catch (const Error& e) {
            throw Error(e.number(),
                        "tile " + NumberText(static_cast<std::int64_t>(k + first + 1)) + ": " + e.reason());
        }
    }
    return components;
}

std::string MultiTextOfUopTiles(std::span<const UopTile> tiles) {
    return MultiTextOfComponents(ComponentsOfUopTiles(tiles));
}

std::string ExactMultiTextOfUopTiles(std::span<const UopTile> tiles) {
    return ExactMultiTextOfRecords(ComponentsOfUopTiles(tiles, true));
}

std::string ExtractUopMultiText(FileSystem& fileSystem, const std::filesystem::path& uop, std::int32_t multi,
                                bool exact) {
    const std::vector<ComponentRecord> records = ExtractUopComponents(fileSystem, uop, multi, exact);
    return exact ? ExactMultiTextOfRecords(records) : MultiTextOfComponents(records);
}

std::vector<ComponentRecord> ExtractUopComponents(FileSystem& fileSystem, const std::filesystem::path& uop,
                                                  std::int32_t multi, bool exact) {
    UopContainer container(fileSystem, uop);
    const UopMulti read = ReadUopMulti(container, multi);
    try {
        return ComponentsOfUopTiles(read.payload.tiles, exact);
    } catch (const Error& e) {
        throw Error(e.number(), MultiEntryName(multi) + ": " + e.reason()).at(container.name());
    }
}

}  // namespace keelwright
