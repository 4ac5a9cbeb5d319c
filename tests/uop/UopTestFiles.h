#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "mulfiles/MemoryFile.h"

namespace keelwright::test {

// An entry of a UOP file made for a test.
struct FactEntry {
    std::string name;
    std::string payload;
    bool compressed = true;
};

// A UOP file made from the format's facts alone, not by the writer: the header, then blocks of
// `capacity` entries one after the other, filled in order (the last block's rest zero), then each
// entry's 12-byte header (3, 8, a FILETIME) and payload.
// housing.bin and `multis` multi entries with short payloads.
std::vector<FactEntry> HousingAndMultis(int multis);

std::string FactUopBytes(std::uint32_t version, std::uint32_t capacity,
                         const std::vector<FactEntry>& entries);

// What a client that knows only the format's facts reads from a UOP file: the payloads by name hash.
// With `honourUsedCount` it reads the first UsedCount entries of each block, as some readers do;
// otherwise every entry, skipping those whose Offset is 0. Throws std::runtime_error when it cannot.
std::map<std::uint64_t, std::string> ClientReads(std::string_view file, bool honourUsedCount);

// A little-endian integer of `size` bytes appended to `out`; and one read from `bytes` at `at`.
void PutLe(std::string& out, std::uint64_t value, int size);
std::uint64_t GetLe(std::string_view bytes, std::size_t at, int size);
// The bytes with `size` bytes at `at` replaced by `value`.
std::string WithLe(std::string bytes, std::size_t at, std::uint64_t value, int size);

// A zlib stream of the bytes, made by zlib directly.
std::string Deflated(std::string_view bytes);

}  // namespace keelwright::test
