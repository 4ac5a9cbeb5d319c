#include <charconv>

#include "model/ComponentTable.h"
#include "model/ComponentsList.h"
#include "model/DesignList.h"
#include "model/NumberText.h"
#include "model/ScriptReaders.h"
#include "model/UoaFile.h"

namespace keelwright {
namespace {

// The design a name (first) or a position from 1 picks.
std::size_t chosenDesign(const std::vector<UoaDesign>& designs, const DesignChoice& choice,
                         const std::string& fileName) {
    if (choice.templateId) {
        throw Error(
            ErrorNumber::InvalidCall,
            "a UO Architect design file holds designs, not templates: choose a design by name or position")
            .at(fileName);
    }
    if (!choice.design) {
        if (designs.size() > 1) {
            throw SeveralDesignsError(DesignListOf(designs), fileName);
        }
        return 0;
    }
    const std::string& wanted = *choice.design;
    std::vector<std::size_t> named;
    for (std::size_t i = 0; i < designs.size(); ++i) {
        if (designs[i].name == wanted) {
            named.push_back(i);
        }
    }
    if (named.size() == 1) {
        return named.front();
    }
    if (named.size() > 1) {
        throw Error(ErrorNumber::InvalidCall, NumberText(static_cast<std::int64_t>(named.size())) +
                                                  " designs are named " + QuoteInput(wanted) +
                                                  ": choose one by position (" +
                                                  DescribeDesigns(DesignListOf(designs)) + ")")
            .at(fileName);
    }
    std::size_t position = 0;
    const auto [end, ec] = std::from_chars(wanted.data(), wanted.data() + wanted.size(), position);
    if (ec == std::errc() && end == wanted.data() + wanted.size() && position >= 1 &&
        position <= designs.size()) {
        return position - 1;
    }
    throw Error(ErrorNumber::InvalidCall,
                "no design is named " + QuoteInput(wanted) +
                    " or has that position: " + DescribeDesigns(DesignListOf(designs)))
        .at(fileName);
}

// Decimal digits of a value into a buffer on the stack, so that storing a tile costs no allocation.
struct Digits {
    char buffer[8];
    std::size_t size;
    explicit Digits(std::int32_t value) {
        size = static_cast<std::size_t>(std::to_chars(buffer, buffer + sizeof buffer, value).ptr - buffer);
    }
    std::string_view text() const { return {buffer, size}; }
};

}  // namespace

void ReadUoaFile(std::string_view bytes, const std::string& fileName, ComponentTable& table,
                 const ComponentsList& components, const ItemCountSink& showItemCount,
                 const LoadOptions& options) {
    const DesignChoice& choice = options.choice;
    const std::vector<UoaDesign> designs = ReadUoaDesigns(bytes, fileName);
    const UoaDesign& design = designs[chosenDesign(designs, choice, fileName)];
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
        table.StoreComponent(Digits(static_cast<std::uint16_t>(tile.itemId)).text(), Digits(tile.x).text(),
                             Digits(tile.y).text(), Digits(tile.z).text());
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
