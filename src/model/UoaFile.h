#pragma once

// UO Architect's binary design file, all numbers little-endian:
//
//   int16 version            1: one design follows; 2: an int16 design count, then that many designs
//   per design:
//     string name, string category, string subsection
//     int32 width, int32 height, int32 user width, int32 user height
//     int32 tile count, then per tile six int16: item id, x, y, z, level, hue
//   string: one byte, 0 (no string) or 1 (a string follows); when present, the byte length in 7-bit groups
//     (low group first, the high bit set on every byte but the last), then that many bytes of UTF-8
//
// Level (the floor a tile was placed on) and hue have no place in the client files: read and not used.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace keelwright {

// One tile record: the six fields in the order of the file, one list for reading and writing.
struct UoaTile {
    static constexpr std::size_t kBytes = 12;
    std::int16_t itemId = 0;  // the id's 16-bit pattern
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t z = 0;
    std::int16_t level = 0;
    std::int16_t hue = 0;

    std::array<std::int16_t*, 6> fields() { return {&itemId, &x, &y, &z, &level, &hue}; }
    std::array<std::int16_t, 6> values() const { return {itemId, x, y, z, level, hue}; }
    // Decodes the kBytes bytes at `bytes`.
    static UoaTile decode(const char* bytes);
    void appendTo(std::string& out) const;
};
static_assert(sizeof(std::int16_t) * 6 == UoaTile::kBytes);

// A design's header as read, and where its tiles lie in the file.
struct UoaDesign {
    std::string name;  // empty when the file gives none
    std::string category;
    std::string subsection;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t userWidth = 0;
    std::int32_t userHeight = 0;
    std::int32_t tileCount = 0;
    std::size_t firstTile = 0;  // byte offset of the first tile record

    UoaTile tile(std::string_view bytes, std::int32_t i) const {
        return UoaTile::decode(bytes.data() + firstTile + static_cast<std::size_t>(i) * UoaTile::kBytes);
    }
};

// Whether the bytes begin with version 1 or 2: the binary form, not the text form of the same extension.
bool IsUoaBinary(std::string_view bytes);

// The designs of a file, every one checked to lie whole within the bytes before any is returned: a count
// beyond the bytes fails before anything is sized by it. Throws InvalidFileFormat or InputPastEnd naming
// the file and the byte offset of the value that does not fit.
std::vector<UoaDesign> ReadUoaDesigns(std::string_view bytes, const std::string& fileName);

// A version 1 file of one design; the sizes are those of the tiles' bounding box.
std::string UoaFileBytes(std::string_view name, const std::vector<UoaTile>& tiles);

}  // namespace keelwright
