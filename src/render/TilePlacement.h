#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "render/PreviewTile.h"

namespace keelwright {

class TileData;

// A point of the scene: the plane in which tile (0, 0, 0) lies at the origin, x to the right, y down.
struct ScenePoint {
    std::int32_t x = 0;
    std::int32_t y = 0;

    bool operator==(const ScenePoint&) const = default;
};

// Where a picture of width x height of the tile has its top-left corner, as the game places art:
// ((x - y) * 22 - width / 2, (x + y) * 22 - 4 * z - height).
ScenePoint TopLeftOf(const PreviewTile& tile, std::int32_t width, std::int32_t height);

// The tiles' indices in the order they are drawn, back to front: ascending x + y, then ascending z + t,
// then the order of the list. t is (height > 0) + (not a Background tile) by tiledata.mul when it is given
// and describes the item, 1 otherwise.
std::vector<std::size_t> DrawOrder(std::span<const PreviewTile> tiles, const TileData* tileData);

}  // namespace keelwright
