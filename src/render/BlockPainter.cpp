#include "render/BlockPainter.h"

#include <algorithm>
#include <array>

#include "render/TileData.h"

namespace keelwright {
namespace {

constexpr Rgba kComponent{236, 178, 28, 255};
constexpr std::array<Rgba, 3> kRamp = {Rgba{92, 122, 168, 255}, Rgba{118, 164, 112, 255},
                                       Rgba{196, 92, 70, 255}};

Rgba scaled(Rgba colour, std::int32_t percent) {
    const auto channel = [percent](std::uint8_t v) {
        return static_cast<std::uint8_t>(std::min(255, v * percent / 100));
    };
    return {channel(colour.r), channel(colour.g), channel(colour.b), 255};
}

Rgba mixed(Rgba from, Rgba to, std::int32_t part, std::int32_t whole) {
    const auto channel = [&](std::uint8_t a, std::uint8_t b) {
        return static_cast<std::uint8_t>((a * (whole - part) + b * part) / whole);
    };
    return {channel(from.r, to.r), channel(from.g, to.g), channel(from.b, to.b), 255};
}

}  // namespace

BlockPainter::BlockPainter(std::int32_t lowestZ, std::int32_t highestZ)
    : lowestZ_(lowestZ), highestZ_(std::max(lowestZ, highestZ)) {}

std::int32_t BlockPainter::heightOf(const PreviewTile& tile, const TileData* tileData) {
    if (tileData != nullptr) {
        if (const auto info = tileData->find(tile.ItemId)) {
            return std::max<std::int32_t>(info->Height, 1);
        }
    }
    return kDefaultHeight;
}

Rgba BlockPainter::baseColour(const PreviewTile& tile) const {
    if (tile.isComponent()) {
        return kComponent;
    }
    const std::int32_t range = highestZ_ - lowestZ_;
    if (range == 0) {
        return kRamp[0];
    }
    // Along the ramp's two stretches in steps of 1 / (2 * range).
    const std::int32_t along = (std::clamp<std::int32_t>(tile.Z, lowestZ_, highestZ_) - lowestZ_) * 2;
    return along <= range ? mixed(kRamp[0], kRamp[1], along, range)
                          : mixed(kRamp[1], kRamp[2], along - range, range);
}

void BlockPainter::paint(RgbaImage& canvas, std::int32_t left, std::int32_t top, const PreviewTile& tile,
                         std::int32_t height) const {
    const Rgba base = baseColour(tile);
    const Rgba topFace = scaled(base, 112);
    const Rgba leftFace = scaled(base, 82);
    const Rgba rightFace = scaled(base, 62);
    const Rgba edge = scaled(base, 40);
    const std::int32_t side = 4 * height;
    for (std::int32_t i = 0; i < kWidth; ++i) {
        // d: half the height of the diamond's column, 0 at the outer columns, 21 at the middle two.
        const std::int32_t d = i < kWidth / 2 ? i : kWidth - 1 - i;
        const std::int32_t x = left + i;
        const std::int32_t topFirst = top + 21 - d;
        const std::int32_t topLast = top + 22 + d;
        canvas.blend(x, topFirst, edge);
        canvas.blendColumn(x, topFirst + 1, topLast - 1, topFace);
        canvas.blend(x, topLast, edge);
        if (side > 0) {
            // The outer columns and the middle two are the block's vertical edges.
            const bool upright = i == 0 || i == kWidth - 1 || i == kWidth / 2 - 1 || i == kWidth / 2;
            canvas.blendColumn(x, topLast + 1, topLast + side - 1,
                               upright          ? edge
                               : i < kWidth / 2 ? leftFace
                                                : rightFace);
            canvas.blend(x, topLast + side, edge);
        }
    }
}

}  // namespace keelwright
