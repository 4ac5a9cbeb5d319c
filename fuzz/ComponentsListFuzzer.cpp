// The components list: any text either fails with Error or gives a list that marks exactly the ids whose hex
// form ("0" and upper-case digits without leading zeros) is one of its entries.
#include <charconv>
#include <set>

#include "FuzzSupport.h"
#include "model/Error.h"
#include "model/NumberText.h"

using namespace keelwright;

namespace {

// The id an entry is the hex form of, or -1.
long idOfHexForm(const std::string& entry) {
    unsigned value = 0;
    if (entry.size() < 2 || entry[0] != '0') {
        return -1;
    }
    const auto [end, ec] = std::from_chars(entry.data() + 1, entry.data() + entry.size(), value, 16);
    if (ec != std::errc() || end != entry.data() + entry.size() || value > 0xFFFF ||
        entry != "0" + Hex16(static_cast<std::uint16_t>(value))) {
        return -1;
    }
    return static_cast<long>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ComponentsList list;
    try {
        list = ReadComponentsList(fuzz::AsText(data, size), "Components.txt");
    } catch (const Error&) {
        return 0;
    }
    fuzz::Require(static_cast<std::size_t>(list.count()) == list.entries().size(), "count is the entries");
    std::set<long> named;
    for (const std::string& entry : list.entries()) {
        if (const long id = idOfHexForm(entry); id >= 0) {
            named.insert(id);
            fuzz::Require(list.listsItem(static_cast<std::uint16_t>(id)), "a named id is listed");
        }
    }
    std::size_t listed = 0;
    for (std::uint32_t id = 0; id <= 0xFFFF; ++id) {
        listed += list.listsItem(static_cast<std::uint16_t>(id)) ? 1 : 0;
    }
    fuzz::Require(listed == named.size(), "no id is listed that no entry names");
    return 0;
}
