#pragma once

// The picture of a static item in art.mul (and, with the same bytes, in artLegacyMUL.uop). Every integer is
// little-endian, read byte by byte.
//
//   artidx.mul: 12-byte records; record 0x4000 + ItemId is the static item ItemId.
//     bytes 0-3    Offset   int32   byte offset of the entry in art.mul; below 0: no entry
//     bytes 4-7    Length   int32   bytes of the entry; 0 or below: no entry
//     bytes 8-11   Extra    int32   not used
//
//   Entry (Length bytes at Offset in art.mul):
//     bytes 0-3    header   uint32  not used
//     bytes 4-5    width    uint16  1 to 1023
//     bytes 6-7    height   uint16  1 to 2560
//     then         lookup   uint16[height]
//   Let D be the byte after the lookup table. Row y starts at byte D + 2 * lookup[y] and is a sequence of
//   runs (uint16 xOffset, uint16 xRun, then xRun uint16 pixels), ended by the run (0, 0). x starts at 0 on
//   every row; a run adds xOffset, draws its pixels from there and adds xRun. No run reaches x 2048.
//   A pixel is RGB555: red bits 14-10, green 9-5, blue 4-0, bit 15 not used; each 5-bit value v is
//   v * 255 / 31. A pixel of 0 is transparent, as is every pixel no run draws.

#include <cstdint>
#include <span>

#include "render/RgbaImage.h"

namespace keelwright {

inline constexpr std::uint32_t kStaticArtIndexBase = 0x4000;
inline constexpr std::int32_t kMaxStaticArtWidth = 1023;
inline constexpr std::int32_t kMaxStaticArtHeight = 2560;
inline constexpr std::int32_t kStaticArtRowLimit = 2048;

// Decodes a static art entry into a picture whose transparent pixels have alpha 0 and the others 255.
// Throws InvalidFileFormat for an entry that breaks the layout, its reason naming the byte of the file
// where the fault lies (`entryOffset` is the file byte where the entry begins). Memory follows the checked
// size, never an unchecked header.
RgbaImage DecodeStaticArt(std::span<const std::uint8_t> entry, std::uint64_t entryOffset = 0);

// The RGBA colour of an RGB555 pixel as the art files store it (alpha 0 for 0).
Rgba ColourOfArtPixel(std::uint16_t pixel);

}  // namespace keelwright
