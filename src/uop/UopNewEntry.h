#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "uop/UopLayout.h"

namespace keelwright {

// An entry made in memory, ready for AddUopEntry: its name hash, the fields of its table entry and its
// data (the per-entry header, then the stored payload), which is written as one piece.
struct UopNewEntry {
    std::uint32_t version = 4;  // the container version whose per-entry header `data` begins with
    std::uint64_t nameHash = 0;
    std::int32_t headerLength = 0;
    std::int32_t decompressedLength = 0;
    std::uint32_t dataHash = 0;
    UopCompression compression = UopCompression::Zlib;
    std::vector<std::uint8_t> data;

    // The stored payload's length: the data after the per-entry header.
    std::int32_t storedLength() const { return static_cast<std::int32_t>(data.size()) - headerLength; }
};

// A version 4 entry named `name`: the per-entry header (uint16 3, uint16 8, int64 `fileTime`), its
// Adler-32 as the data hash, and the payload as a zlib stream (compression 1). Throws Overflow for a
// payload whose lengths do not fit the table's 32-bit fields.
UopNewEntry NewCompressedEntry(std::string_view name, std::span<const std::uint8_t> payload,
                               std::int64_t fileTime);

// A time as a Windows FILETIME: 100-nanosecond intervals since 1601-01-01 UTC.
std::int64_t FileTimeOf(std::chrono::system_clock::time_point time);
// The FILETIME new entries carry: the seconds since 1970 that `sourceDateEpoch` gives, the text of the
// SOURCE_DATE_EPOCH variable when it is set (the convention of reproducible builds: one patch applied twice
// gives the same bytes), else `now`. Throws InvalidCall for a text that is not such a whole number.
std::int64_t NewEntryFileTime(const std::optional<std::string>& sourceDateEpoch,
                              std::chrono::system_clock::time_point now);

}  // namespace keelwright
