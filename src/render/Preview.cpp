#include "render/Preview.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

#include "model/Error.h"
#include "model/NumberText.h"
#include "render/ArtLibrary.h"
#include "render/BlockPainter.h"
#include "render/TileData.h"
#include "render/TilePlacement.h"

namespace keelwright {
namespace {

constexpr Rgba kCentreMark{214, 20, 40, 255};
constexpr Rgba kCentreCross{255, 255, 255, 255};

// A tile as it will be drawn: its picture (null for a block), its block height and its rectangle.
struct Placed {
    const RgbaImage* picture = nullptr;
    std::int32_t blockHeight = 0;
    ScenePoint topLeft;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

struct Bounds {
    std::int32_t left = std::numeric_limits<std::int32_t>::max();
    std::int32_t top = std::numeric_limits<std::int32_t>::max();
    std::int32_t right = std::numeric_limits<std::int32_t>::min();
    std::int32_t bottom = std::numeric_limits<std::int32_t>::min();

    void add(ScenePoint topLeft, std::int32_t width, std::int32_t height) {
        left = std::min(left, topLeft.x);
        top = std::min(top, topLeft.y);
        right = std::max(right, topLeft.x + width);
        bottom = std::max(bottom, topLeft.y + height);
    }
};

// The height in z units of the surface a tile offers: the top of its block, or its tiledata height.
std::int32_t surfaceOf(const PreviewTile& tile, const Placed& placed, const TileData* tileData) {
    if (placed.picture == nullptr) {
        return tile.Z + placed.blockHeight;
    }
    const auto info = tileData != nullptr ? tileData->find(tile.ItemId) : std::nullopt;
    return tile.Z + (info ? info->Height : 0);
}

// The z at which the centre is marked: the top of the highest tile at (0, 0), else the multi's lowest z.
std::int32_t centreZ(std::span<const PreviewTile> tiles, const std::vector<Placed>& placed,
                     const TileData* tileData) {
    std::optional<std::int32_t> onCentre;
    std::int32_t lowest = tiles.empty() ? 0 : std::numeric_limits<std::int32_t>::max();
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        lowest = std::min<std::int32_t>(lowest, tiles[i].Z);
        if (tiles[i].X == 0 && tiles[i].Y == 0) {
            onCentre = std::max(onCentre.value_or(std::numeric_limits<std::int32_t>::min()),
                                surfaceOf(tiles[i], placed[i], tileData));
        }
    }
    return onCentre.value_or(lowest);
}

// A red diamond outline, two pixels wide, with a white cross in its middle.
void markCentre(RgbaImage& canvas, std::int32_t left, std::int32_t top) {
    for (std::int32_t i = 0; i < BlockPainter::kWidth; ++i) {
        const std::int32_t d = i < BlockPainter::kWidth / 2 ? i : BlockPainter::kWidth - 1 - i;
        for (const std::int32_t y : {top + 21 - d, top + 22 - d, top + 21 + d, top + 22 + d}) {
            canvas.blend(left + i, y, kCentreMark);
        }
    }
    const std::int32_t cx = left + BlockPainter::kWidth / 2;
    const std::int32_t cy = top + BlockPainter::kTopHeight / 2;
    for (std::int32_t k = -5; k <= 5; ++k) {
        for (const std::int32_t w : {-1, 0}) {
            canvas.blend(cx + k, cy + w, kCentreCross);
            canvas.blend(cx + w, cy + k, kCentreCross);
        }
    }
}

}  // namespace

Preview RenderPreview(std::span<const PreviewTile> tiles, const PreviewOptions& options) {
    std::vector<Placed> placed(tiles.size());
    Bounds bounds;
    std::int32_t lowestZ = std::numeric_limits<std::int32_t>::max();
    std::int32_t highestZ = std::numeric_limits<std::int32_t>::min();
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        Placed& p = placed[i];
        p.picture = options.art != nullptr ? options.art->picture(tiles[i].ItemId) : nullptr;
        if (p.picture != nullptr) {
            p.width = p.picture->width();
            p.height = p.picture->height();
        } else {
            p.blockHeight = BlockPainter::heightOf(tiles[i], options.tileData);
            p.width = BlockPainter::kWidth;
            p.height = BlockPainter::pixelHeight(p.blockHeight);
        }
        p.topLeft = TopLeftOf(tiles[i], p.width, p.height);
        bounds.add(p.topLeft, p.width, p.height);
        lowestZ = std::min<std::int32_t>(lowestZ, tiles[i].Z);
        highestZ = std::max<std::int32_t>(highestZ, tiles[i].Z);
    }
    // Placed as the top of a block at (0, 0) would be.
    const ScenePoint markAt{-BlockPainter::kWidth / 2,
                            -4 * centreZ(tiles, placed, options.tileData) - BlockPainter::kTopHeight};
    if (options.markCentre || tiles.empty()) {
        bounds.add(markAt, BlockPainter::kWidth, BlockPainter::kTopHeight);
    }

    const std::int64_t width = std::int64_t{bounds.right} - bounds.left + 2 * kPreviewMargin;
    const std::int64_t height = std::int64_t{bounds.bottom} - bounds.top + 2 * kPreviewMargin;
    if (width * height > kMaxPreviewPixels) {
        throw Error(ErrorNumber::Overflow, "the tiles lie too far apart for a preview: it would be " +
                                               NumberText(width) + " x " + NumberText(height) +
                                               " pixels, more than " + NumberText(kMaxPreviewPixels));
    }
    Preview preview;
    preview.image =
        RgbaImage(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height), options.background);
    preview.originX = kPreviewMargin - bounds.left;
    preview.originY = kPreviewMargin - bounds.top;

    const BlockPainter blocks(tiles.empty() ? 0 : lowestZ, tiles.empty() ? 0 : highestZ);
    for (const std::size_t i : DrawOrder(tiles, options.tileData)) {
        const Placed& p = placed[i];
        const std::int32_t left = preview.originX + p.topLeft.x;
        const std::int32_t top = preview.originY + p.topLeft.y;
        if (p.picture != nullptr) {
            preview.image.drawOver(*p.picture, left, top);
            ++preview.artTiles;
        } else {
            blocks.paint(preview.image, left, top, tiles[i], p.blockHeight);
            ++preview.blockTiles;
        }
    }
    if (options.markCentre) {
        markCentre(preview.image, preview.originX + markAt.x, preview.originY + markAt.y);
    }
    return preview;
}

}  // namespace keelwright
