#pragma once

// The part ids a tile of MultiCollection.uop carries after its flags (ship and door parts), as multi text
// and CSV write them: whole decimal numbers separated by blanks.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace keelwright {

using PartIdList = std::vector<std::uint32_t>;

// The part ids that the words of `text` begin with. The first word that is not a whole number (a part name
// such as "shiptillerman") ends the list. Throws Overflow for a whole number outside 0 to 4294967295.
PartIdList ReadPartIds(std::string_view text);

// The part ids separated by single spaces; empty text for none.
std::string PartIdsText(const PartIdList& parts);

}  // namespace keelwright
