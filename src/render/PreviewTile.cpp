#include "render/PreviewTile.h"

#include "model/ComponentTable.h"
#include "model/Error.h"
#include "model/NumberText.h"

namespace keelwright {

std::vector<PreviewTile> PreviewTilesOf(const ComponentTable& table) {
    std::vector<PreviewTile> tiles;
    tiles.reserve(static_cast<std::size_t>(std::max(table.Count, 0)));
    for (std::int32_t i = 0; i < table.Count; ++i) {
        const auto entry = static_cast<std::size_t>(i);
        try {
            tiles.push_back({ToItemId(table.ItemId[entry]), ToInt16(table.X[entry], "x"),
                             ToInt16(table.Y[entry], "y"), ToInt16(table.Z[entry], "z"),
                             ToInt32(table.Flags[entry], "flags")});
        } catch (const Error& e) {
            throw Error(e.number(), "component " + NumberText(i + 1) + ": " + e.reason());
        }
    }
    return tiles;
}

}  // namespace keelwright
