#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace keelwright {

// The name hash of a UOP entry: Bob Jenkins' lookup3 hashlittle2 over the name in lower case, both
// initial values 0; the secondary output in the high 32 bits, the primary in the low 32.
std::uint64_t UopNameHash(std::string_view name);

// A name hash as errors and listings show it: "0x" and 16 upper-case hexadecimal digits.
std::string UopHashText(std::uint64_t hash);

}  // namespace keelwright
