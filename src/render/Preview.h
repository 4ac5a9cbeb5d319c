#pragma once

#include <cstdint>
#include <span>

#include "render/PreviewTile.h"
#include "render/RgbaImage.h"

namespace keelwright {

class ArtLibrary;
class TileData;

// The background of a preview: a light warm grey on which both blocks and the game's art stand out.
inline constexpr Rgba kPreviewBackground{232, 228, 218, 255};
// The most pixels a preview may have (256 MB of picture); a multi whose tiles lie farther apart is refused.
inline constexpr std::int64_t kMaxPreviewPixels = std::int64_t{64} << 20;
// The free border around the tiles, in pixels.
inline constexpr std::int32_t kPreviewMargin = 8;

struct PreviewOptions {
    // The pictures of the client's art, or null for the block look. A tile without art is a block.
    ArtLibrary* art = nullptr;
    // Heights and Background flags of tiledata.mul, or null: they order the tiles and size the blocks.
    const TileData* tileData = nullptr;
    // Whether to outline the multi's centre (0, 0) in red, on top of everything else.
    bool markCentre = true;
    Rgba background = kPreviewBackground;
};

// A picture of a multi and how it was made.
struct Preview {
    RgbaImage image;
    std::int32_t artTiles = 0;    // tiles drawn with their art
    std::int32_t blockTiles = 0;  // tiles drawn as blocks
    // Where the scene (TilePlacement.h) lies in the image: scene point (x, y) is pixel (originX + x, originY
    // + y).
    std::int32_t originX = 0;
    std::int32_t originY = 0;
};

// Draws the multi the way the game places its tiles (TilePlacement.h): every tile, back to front, on a
// canvas that is the union of all tile pictures (and the centre mark) plus kPreviewMargin. Throws Overflow
// for a canvas above kMaxPreviewPixels, and the art library's Error for an art entry it cannot read.
Preview RenderPreview(std::span<const PreviewTile> tiles, const PreviewOptions& options = {});

}  // namespace keelwright
