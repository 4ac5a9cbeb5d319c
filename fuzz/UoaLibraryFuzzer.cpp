// UO Architect's design library on any bytes: the first two bytes give the length of Designs.idx, the rest
// after it is Designs.bin. Listing and loading throw Error or succeed within the memory the bytes justify
// (tools/fuzz bounds it), and every listed design either loads its listed tiles or fails with an Error.
#include <algorithm>

#include "ScriptRoundTrip.h"
#include "model/DesignList.h"
#include "model/NumberText.h"
#include "model/UoaLibrary.h"

using namespace keelwright;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const std::string_view bytes = fuzz::AsText(data + 2, size - 2);
    const std::size_t indexBytes =
        std::min(static_cast<std::size_t>(data[0]) | static_cast<std::size_t>(data[1]) << 8, bytes.size());
    const std::string_view index = bytes.substr(0, indexBytes);
    const std::string_view designs = bytes.substr(indexBytes);
    DesignList list;
    try {
        list = DesignListOf(ReadUoaLibraryIndex(index, "Designs.idx", designs.size()));
    } catch (const Error&) {
        return 0;
    }
    for (const DesignSummary& design : list.entries) {
        if (std::any_of(list.entries.begin(), list.entries.end(),
                        [&](const DesignSummary& d) { return d.name == design.key; })) {
            continue;  // a name picks before a position does
        }
        ComponentTable table;
        try {
            ReadUoaLibrary(index, designs, "Designs.idx", "Designs.bin", table, fuzz::DoorsAndSigns(), {},
                           LoadOptions{false, {design.key, std::nullopt}});
        } catch (const SeveralDesignsError&) {
            fuzz::Require(false, "a chosen design loads without asking again");
        } catch (const Error&) {
            continue;  // a record of an unknown version or cut short, or a design of no records
        }
        fuzz::Require(NumberText(table.Count) == design.tiles, "the design loads its listed tiles");
        fuzz::RequireRoundTrip(table);
    }
    return 0;
}
