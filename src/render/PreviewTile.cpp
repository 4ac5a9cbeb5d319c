#include "render/PreviewTile.h"

#include "model/ComponentTable.h"
#include "model/Error.h"
#include "model/NumberText.h"
#include "mulfiles/ComponentRecord.h"
#include "uop/UopMultiPayload.h"

namespace keelwright {
namespace {

// A 32-bit Flags text, or a whole flags word of an exact load, of which only zero or not matters here.
std::int32_t flagsOf(std::string_view text) {
    try {
        return ToInt32(text, "flags");
    } catch (const Error& e) {
        try {
            return ToFlagsWord(text) == 0 ? 0 : 1;
        } catch (const Error&) {
            throw e;
        }
    }
}

}  // namespace

std::vector<PreviewTile> PreviewTilesOf(const ComponentTable& table) {
    std::vector<PreviewTile> tiles;
    tiles.reserve(static_cast<std::size_t>(std::max(table.Count, 0)));
    for (std::int32_t i = 0; i < table.Count; ++i) {
        const auto entry = static_cast<std::size_t>(i);
        try {
            tiles.push_back({ToItemId(table.ItemId[entry]), ToInt16(table.X[entry], "x"),
                             ToInt16(table.Y[entry], "y"), ToInt16(table.Z[entry], "z"),
                             flagsOf(table.Flags[entry])});
        } catch (const Error& e) {
            throw Error(e.number(), "component " + NumberText(i + 1) + ": " + e.reason());
        }
    }
    return tiles;
}

std::vector<PreviewTile> PreviewTilesOfBlock(std::span<const std::uint8_t> block, RecordSize size) {
    const std::size_t bytes = BytesOf(size);
    if (block.size() < bytes || block.size() % bytes != 0) {
        throw Error(ErrorNumber::InvalidFileFormat, "a block of " +
                                                        NumberText(static_cast<std::int64_t>(block.size())) +
                                                        " bytes is not a whole positive number of records");
    }
    const std::size_t records = block.size() / bytes;
    std::vector<PreviewTile> tiles;
    tiles.reserve(records);
    for (std::size_t k = 0; k < records; ++k) {
        const ComponentRecord r = ComponentRecord::decode(block.subspan(k * bytes), size);
        if (k > 0 || !r.isLead()) {
            tiles.push_back({r.ItemId, r.X, r.Y, r.Z, r.Flags});
        }
    }
    return tiles;
}

std::vector<PreviewTile> PreviewTilesOfUop(const UopMultiPayload& payload) {
    std::vector<PreviewTile> tiles;
    tiles.reserve(payload.components().size());
    for (const UopTile& t : payload.components()) {
        tiles.push_back({t.ItemId, t.X, t.Y, t.Z, (t.Flags & 0x001) != 0 ? 0 : 1});
    }
    return tiles;
}

}  // namespace keelwright
