#pragma once

#include <array>
#include <cstdint>

#include "uop/UopLayout.h"

namespace keelwright {

// The 40-byte header of a UOP file (layout in UopLayout.h).
struct UopHeader {
    std::uint32_t Magic = kUopMagic;
    std::uint32_t Version = 0;
    std::uint32_t Signature = kUopSignature;
    std::int64_t FirstBlock = 0;
    std::uint32_t Capacity = 0;
    std::uint32_t FileCount = 0;

    using Bytes = std::array<std::uint8_t, kUopHeaderSize>;

    // Encodes the header as its 40 bytes, the last 12 zero.
    Bytes encode() const;
    // Decodes 40 bytes; checks nothing.
    static UopHeader decode(const Bytes& bytes);
};

}  // namespace keelwright
