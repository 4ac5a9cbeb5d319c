#pragma once

// UO Architect's design library: every design its user made, kept in two files of its Save folder. No magic
// number, no checksum; all numbers little-endian and signed.
//
//   Designs.idx   int32 design count N, int32 index version (always 0), then N entries back to back:
//                   string name, string category (the first level of the design tree), string subsection
//                   (the second level), int32 width, height, user width, user height (all four may be
//                   stale), int64 offset of the design's first record in Designs.bin, int32 record count
//   Designs.bin   no header: records back to back, a design's records together from its offset (a design of
//                 no records may share its offset with the next). Each record begins with its version:
//                   version 0, 24 bytes: int32 version, item id, x, y, z, level
//                   version 1, 28 bytes: the same, then int32 hue
//                 Item id, level and hue are 16-bit values widened with their sign (id & 0xFFFF); x and y
//                 count from the design's north-west corner; z is a full 32-bit value; hue 0 is none.
//   string        a presence byte (0: none, nothing follows; any other value: a string follows), then the
//                 length in bytes as 7-bit groups (low first, at most 5), then that many bytes of UTF-8

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "model/UoaFile.h"

namespace keelwright {

// One record of Designs.bin, as read.
struct UoaLibraryTile {
    static constexpr std::size_t kBytesVersion0 = 24;
    static constexpr std::size_t kBytesVersion1 = 28;
    std::int32_t itemId = 0;  // as stored: the id's 16-bit pattern widened with its sign
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t z = 0;
    std::int32_t level = 0;
    std::int32_t hue = 0;
    std::size_t offset = 0;  // where the record begins in Designs.bin
};

// Whether a file is a library's index by its name: Designs.idx in any letter case.
bool IsUoaLibraryIndex(const std::filesystem::path& path);
// The Designs.bin beside an index, in any letter case (the exact name first). Throws FileNotFound naming
// the index when there is none.
std::filesystem::path UoaLibraryDataOf(const std::filesystem::path& index);

// The designs of Designs.idx: for each, firstTile is its offset in Designs.bin and tileCount its number of
// records, both checked against the data's size (`dataBytes`) before anything is sized by them. Throws
// InvalidFileFormat or InputPastEnd naming the index and the byte offset.
std::vector<UoaDesign> ReadUoaLibraryIndex(std::string_view index, const std::string& indexName,
                                           std::size_t dataBytes);

// A design's records, read in sequence from its offset. Throws naming Designs.bin and the byte offset for
// a record of another version or one that ends past the file.
std::vector<UoaLibraryTile> ReadUoaLibraryTiles(std::string_view data, const std::string& dataName,
                                                const UoaDesign& design);

}  // namespace keelwright
