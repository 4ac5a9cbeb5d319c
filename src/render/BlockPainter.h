#pragma once

#include <cstdint>

#include "render/PreviewTile.h"
#include "render/RgbaImage.h"

namespace keelwright {

class TileData;

// The block that stands for a tile without a picture: a 44 x 44 diamond top with its two front sides down
// to the tile's base, (44 + 4 * height) pixels tall. Ordinary blocks take a colour from the multi's range
// of z, from slate blue at the lowest through sage to brick red at the highest, so that storeys and roofs
// part; components are gold at any z. The top is lit, the left side half shaded, the right side shaded
// more, and every face has a dark edge so that neighbouring blocks stay apart.
class BlockPainter {
public:
    static constexpr std::int32_t kWidth = 44;
    static constexpr std::int32_t kTopHeight = 44;
    // The height of a block when tiledata.mul does not give one: low enough that the floor of a storey
    // shows between its walls.
    static constexpr std::int32_t kDefaultHeight = 5;

    BlockPainter(std::int32_t lowestZ, std::int32_t highestZ);

    // The block's height in z units: the item's height in tiledata.mul (at least 1), else kDefaultHeight.
    static std::int32_t heightOf(const PreviewTile& tile, const TileData* tileData);
    // The block's picture height in pixels.
    static std::int32_t pixelHeight(std::int32_t height) { return kTopHeight + 4 * height; }

    // Paints the tile's block with its top-left corner at left, top of the canvas.
    void paint(RgbaImage& canvas, std::int32_t left, std::int32_t top, const PreviewTile& tile,
               std::int32_t height) const;

private:
    Rgba baseColour(const PreviewTile& tile) const;

    std::int32_t lowestZ_;
    std::int32_t highestZ_;
};

}  // namespace keelwright
