// The UO Architect reader on any bytes: it loads the first design or throws Error, within the memory the
// bytes justify (tools/fuzz bounds it), every design it lists loads, and what loads survives the round trip.
#include <algorithm>

#include "ScriptRoundTrip.h"
#include "model/DesignList.h"
#include "model/NumberText.h"

using namespace keelwright;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::AsText(data, size);
    DesignList list;
    try {
        list = ListDesigns(bytes, "fuzz.uoa", ScriptType::Uoa);
    } catch (const Error&) {
        return 0;
    }
    const auto named = [&](const std::string& key) {
        return std::any_of(list.entries.begin(), list.entries.end(),
                           [&](const DesignSummary& d) { return d.name == key; });
    };
    for (const DesignSummary& design : list.entries) {
        if (named(design.key)) {
            continue;  // a name picks before a position does
        }
        ComponentTable table;
        try {
            ReadUoaFile(bytes, "fuzz.uoa", table, fuzz::DoorsAndSigns(), {},
                        LoadOptions{false, {design.key, std::nullopt}});
        } catch (const SeveralDesignsError&) {
            fuzz::Require(false, "a chosen design loads without asking again");
        } catch (const Error&) {
            fuzz::Require(design.tiles == "0", "a listed design with tiles loads");
            continue;
        }
        fuzz::Require(NumberText(table.Count) == design.tiles, "the design loads its listed tiles");
        fuzz::RequireRoundTrip(table);
    }
    return 0;
}
