#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "uop/UopLayout.h"

namespace keelwright {

// One 34-byte entry of a UOP table block (layout in UopLayout.h).
struct UopEntry {
    std::int64_t Offset = 0;
    std::int32_t HeaderLength = 0;
    std::int32_t StoredLength = 0;
    std::int32_t DecompressedLength = 0;
    std::uint64_t NameHash = 0;
    std::uint32_t DataHash = 0;
    std::int16_t Compression = 0;

    using Bytes = std::array<std::uint8_t, kUopEntrySize>;

    // Encodes the entry as its 34 bytes.
    Bytes encode() const;
    // Decodes 34 bytes of a larger buffer; checks nothing.
    static UopEntry decode(std::span<const std::uint8_t, kUopEntrySize> bytes);

    // Readers skip an entry whose Offset is 0.
    bool inUse() const { return Offset != 0; }
    // The end of the entry's data (Offset + HeaderLength + StoredLength); nothing when a field is negative.
    std::optional<std::uint64_t> dataEnd() const;

    bool operator==(const UopEntry&) const = default;
};

}  // namespace keelwright
