#include "uop/UopTileRecords.h"

#include <algorithm>

#include "model/ComponentTable.h"
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

std::vector<PartIdList> PartsOfUopTiles(std::span<const UopTile> tiles, bool exact) {
    const std::size_t first = !exact && !tiles.empty() && tiles.front() == UopTile::lead() ? 1 : 0;
    std::vector<PartIdList> parts;
    for (std::size_t k = first; k < tiles.size(); ++k) {
        if (!tiles[k].Parts.empty()) {
            parts.resize(k - first + 1);
            parts.back() = tiles[k].Parts;
        }
    }
    return parts;
}

void AttachTableParts(std::span<UopTile> tiles, const ComponentTable& table) {
    // The entries are the last tiles: a block the patcher encodes may begin with a lead record of its own.
    const std::size_t first = tiles.size() - std::min(tiles.size(), static_cast<std::size_t>(table.Count));
    for (std::size_t k = 0; k < table.Parts.size() && first + k < tiles.size(); ++k) {
        tiles[first + k].Parts = table.Parts[k];
    }
}

std::string MultiTextOfUopTiles(std::span<const UopTile> tiles) {
    return MultiTextOfComponents(ComponentsOfUopTiles(tiles));
}

std::string ExactMultiTextOfUopTiles(std::span<const UopTile> tiles) {
    return ExactMultiTextOfRecords(ComponentsOfUopTiles(tiles, true), PartsOfUopTiles(tiles, true));
}

std::string ExtractUopMultiText(FileSystem& fileSystem, const std::filesystem::path& uop, std::int32_t multi,
                                bool exact) {
    std::vector<PartIdList> parts;
    const std::vector<ComponentRecord> records = ExtractUopComponents(fileSystem, uop, multi, exact, &parts);
    return exact ? ExactMultiTextOfRecords(records, parts) : MultiTextOfComponents(records);
}

std::vector<ComponentRecord> ExtractUopComponents(FileSystem& fileSystem, const std::filesystem::path& uop,
                                                  std::int32_t multi, bool exact,
                                                  std::vector<PartIdList>* parts) {
    UopContainer container(fileSystem, uop);
    const UopMulti read = ReadUopMulti(container, multi);
    try {
        if (parts != nullptr) {
            *parts = PartsOfUopTiles(read.payload.tiles, exact);
        }
        return ComponentsOfUopTiles(read.payload.tiles, exact);
    } catch (const Error& e) {
        throw Error(e.number(), MultiEntryName(multi) + ": " + e.reason()).at(container.name());
    }
}

}  // namespace keelwright
