#include "render/TilePlacement.h"

#include <algorithm>
#include <numeric>

#include "render/TileData.h"

namespace keelwright {
namespace {

constexpr std::int32_t kHalfTile = 22;
constexpr std::int32_t kPixelsPerZ = 4;

std::int32_t layerOf(const PreviewTile& tile, const TileData* tileData) {
    std::int32_t t = 1;
    if (tileData != nullptr) {
        if (const auto info = tileData->find(tile.ItemId)) {
            t = (info->Height > 0 ? 1 : 0) + (info->Background ? 0 : 1);
        }
    }
    return tile.Z + t;
}

}  // namespace

ScenePoint TopLeftOf(const PreviewTile& tile, std::int32_t width, std::int32_t height) {
    return {(tile.X - tile.Y) * kHalfTile - width / 2,
            (tile.X + tile.Y) * kHalfTile - kPixelsPerZ * tile.Z - height};
}

std::vector<std::size_t> DrawOrder(std::span<const PreviewTile> tiles, const TileData* tileData) {
    struct Key {
        std::int32_t depth;
        std::int32_t layer;
    };
    std::vector<Key> keys;
    keys.reserve(tiles.size());
    for (const PreviewTile& tile : tiles) {
        keys.push_back({tile.X + tile.Y, layerOf(tile, tileData)});
    }
    std::vector<std::size_t> order(tiles.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return keys[a].depth != keys[b].depth ? keys[a].depth < keys[b].depth : keys[a].layer < keys[b].layer;
    });
    return order;
}

}  // namespace keelwright
