#include "model/ComponentTable.h"
#include "model/ComponentsList.h"
#include "model/DecimalDigits.h"
#include "model/DesignList.h"
#include "model/NumberText.h"
#include "model/ScriptReaders.h"
#include "model/UoaLibrary.h"

namespace keelwright {
namespace {

constexpr std::int32_t kLowestZ = -128;
constexpr std::int32_t kHighestZ = 127;

std::string byteText(std::size_t offset) {
    return "byte " + NumberText(static_cast<std::int64_t>(offset));
}

// What the load leaves out or cannot show: the hues, which client files have no place for, counted once,
// and the first tile whose z the game cannot show.
std::vector<std::string> warningsOf(const std::vector<UoaLibraryTile>& tiles, const std::string& dataName) {
    std::vector<std::string> warnings;
    std::size_t hued = 0;
    for (const UoaLibraryTile& tile : tiles) {
        hued += tile.hue != 0 ? 1 : 0;
    }
    if (hued > 0) {
        warnings.push_back(NumberText(static_cast<std::int64_t>(hued)) +
                           (hued == 1 ? " tile has a hue" : " tiles have a hue") +
                           ", which client files cannot hold: the design loads without hues");
    }
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        if (tiles[i].z < kLowestZ || tiles[i].z > kHighestZ) {
            warnings.push_back(dataName + ": " + byteText(tiles[i].offset) + ": tile " +
                               NumberText(static_cast<std::int64_t>(i + 1)) + " is at z " +
                               NumberText(tiles[i].z) +
                               ", outside -128 to 127: the game cannot show it above ground level");
            break;
        }
    }
    return warnings;
}

}  // namespace

void ReadUoaLibrary(std::string_view index, std::string_view data, const std::string& indexName,
                    const std::string& dataName, ComponentTable& table, const ComponentsList& components,
                    const ItemCountSink& showItemCount, const LoadOptions& options) {
    const std::vector<UoaDesign> designs = ReadUoaLibraryIndex(index, indexName, data.size());
    const UoaDesign& design = designs[ChooseUoaDesign(designs, options.choice, indexName)];
    const std::vector<UoaLibraryTile> tiles = ReadUoaLibraryTiles(data, dataName, design);
    if (tiles.empty()) {
        throw Error(ErrorNumber::InvalidFileFormat, "the design " + QuoteInput(design.name) + " has no tiles")
            .at(indexName);
    }
    table.BeginSizedFill(static_cast<std::int32_t>(tiles.size()), tiles.size());
    for (const UoaLibraryTile& tile : tiles) {
        table.StoreComponent(DecimalDigits(tile.itemId & 0xFFFF).text(), DecimalDigits(tile.x).text(),
                             DecimalDigits(tile.y).text(), DecimalDigits(tile.z).text());
    }
    if (showItemCount) {
        showItemCount({table.Count, 0, warningsOf(tiles, dataName)});
    }
    try {
        table.CentreMulti();
        table.MarkListedComponents(components);
    } catch (const ComponentError& e) {
        throw Error(e.number(),
                    byteText(tiles[static_cast<std::size_t>(e.entry())].offset) + ": " + e.reason())
            .at(dataName);
    }
}

}  // namespace keelwright
