#pragma once

#include <cstdint>

namespace keelwright {

// The flags of a tile in Multi.mul: the record's Flags, and the extra int of the 16-byte layout.
struct MulTileFlags {
    std::int32_t flags = 0;
    std::int32_t extra = 0;
    bool operator==(const MulTileFlags&) const = default;
};

// The UOP flags of a Multi.mul tile: flags 1 (visible) become 0, flags 0 (dynamic: doors, signs, the
// lead record) become 1, and extra 1 sets bit 0x100. Throws Overflow for any other flags or extra value.
std::uint16_t UopFlagsOfMul(MulTileFlags mul);

// The Multi.mul flags of a UOP tile, the inverse of UopFlagsOfMul. Throws Overflow for flags with a bit
// other than 0x001 and 0x100 set.
MulTileFlags MulFlagsOfUop(std::uint16_t flags);

}  // namespace keelwright
