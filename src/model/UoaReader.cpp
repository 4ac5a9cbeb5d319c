#include "model/ComponentTable.h"
#include "model/ComponentsList.h"
#include "model/DecimalDigits.h"
#include "model/DesignList.h"
#include "model/NumberText.h"
#include "model/ScriptReaders.h"
#include "model/UoaFile.h"

namespace keelwright {

void ReadUoaFile(std::string_view bytes, const std::string& fileName, ComponentTable& table,
                 const ComponentsList& components, const ItemCountSink& showItemCount,
                 const LoadOptions& options) {
    const DesignChoice& choice = options.choice;
    const std::vector<UoaDesign> designs = ReadUoaDesigns(bytes, fileName);
    const UoaDesign& design = designs[ChooseUoaDesign(designs, choice, fileName)];
    const auto offsetOf = [&](std::int32_t entry) {
        return "byte " +
               NumberText(static_cast<std::int64_t>(design.firstTile) +
                          std::int64_t{entry} * static_cast<std::int64_t>(UoaTile::kBytes)) +
               ": ";
    };
    try {
        table.BeginSizedFill(design.tileCount, static_cast<std::size_t>(design.tileCount));
    } catch (const Error&) {
        throw Error(ErrorNumber::InvalidFileFormat, offsetOf(0) + "the design has no tiles").at(fileName);
    }
    for (std::int32_t i = 0; i < design.tileCount; ++i) {
        const UoaTile tile = design.tile(bytes, i);
        table.StoreComponent(DecimalDigits(static_cast<std::uint16_t>(tile.itemId)).text(),
                             DecimalDigits(tile.x).text(), DecimalDigits(tile.y).text(),
                             DecimalDigits(tile.z).text());
    }
    if (showItemCount) {
        showItemCount(table.Count);
    }
    try {
        table.CentreMulti();
        table.MarkListedComponents(components);
    } catch (const ComponentError& e) {
        throw Error(e.number(), offsetOf(e.entry()) + e.reason()).at(fileName);
    }
}

}  // namespace keelwright
