// Drawing the preview of a 10,000-tile multi: a keep of four storeys, 50 x 50 tiles each, walls round a
// floor, a door and a sign per storey. With the example art it must take under 200 ms, from opening the
// art folder (whose artLegacyMUL.uop wins, as in the clients) to the finished picture (BM_PreviewWithArt);
// BM_PreviewWithMulArt takes art.mul and artidx.mul instead. The other figures split that up: drawing again
// with the art already decoded, the block look, and encoding the PNG file.
#include <benchmark/benchmark.h>

#include <vector>

#include "mulfiles/NativeFileSystem.h"
#include "render/ArtLibrary.h"
#include "render/ClientArt.h"
#include "render/MulArtSource.h"
#include "render/PngFile.h"
#include "render/Preview.h"

namespace {

using namespace keelwright;

constexpr int kSide = 50;
constexpr int kStoreys = 4;

std::vector<PreviewTile> keep() {
    std::vector<PreviewTile> tiles;
    const int low = -kSide / 2, high = low + kSide - 1;
    for (int storey = 0; storey < kStoreys; ++storey) {
        const auto z = static_cast<std::int16_t>(storey * 20);
        for (int y = low; y <= high; ++y) {
            for (int x = low; x <= high; ++x) {
                std::uint16_t item = 1193;  // floor
                if ((x == low || x == high) && (y == low || y == high)) {
                    item = 166;
                } else if (y == low || y == high) {
                    item = x == 0 && y == high ? 1709 : 167;
                } else if (x == low || x == high) {
                    item = 168;
                }
                tiles.push_back({item, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), z,
                                 item == 1709 ? 0 : 1});
            }
        }
        tiles.back() = {3026, 1, static_cast<std::int16_t>(high + 1), static_cast<std::int16_t>(z + 7), 0};
    }
    return tiles;
}

const std::filesystem::path kArtFolder = std::filesystem::path(KEELWRIGHT_EXAMPLES) / "art";

void BM_PreviewWithArt(benchmark::State& state) {
    const std::vector<PreviewTile> tiles = keep();
    NativeFileSystem fileSystem;
    for (auto _ : state) {
        ClientArt client = OpenClientArt(fileSystem, kArtFolder);
        const Preview preview =
            RenderPreview(tiles, {.art = client.art.get(), .tileData = &*client.tileData});
        benchmark::DoNotOptimize(preview.image.bytes().data());
    }
    state.counters["tiles"] = static_cast<double>(tiles.size());
}
BENCHMARK(BM_PreviewWithArt)->Unit(benchmark::kMillisecond);

void BM_PreviewWithMulArt(benchmark::State& state) {
    const std::vector<PreviewTile> tiles = keep();
    NativeFileSystem fileSystem;
    for (auto _ : state) {
        ArtLibrary art(
            std::make_unique<MulArtSource>(fileSystem, kArtFolder / "artidx.mul", kArtFolder / "art.mul"));
        const TileData tileData = TileData::read(fileSystem, kArtFolder / "tiledata.mul");
        const Preview preview = RenderPreview(tiles, {.art = &art, .tileData = &tileData});
        benchmark::DoNotOptimize(preview.image.bytes().data());
    }
}
BENCHMARK(BM_PreviewWithMulArt)->Unit(benchmark::kMillisecond);

void BM_PreviewWithDecodedArt(benchmark::State& state) {
    const std::vector<PreviewTile> tiles = keep();
    NativeFileSystem fileSystem;
    ClientArt client = OpenClientArt(fileSystem, kArtFolder);
    for (auto _ : state) {
        const Preview preview =
            RenderPreview(tiles, {.art = client.art.get(), .tileData = &*client.tileData});
        benchmark::DoNotOptimize(preview.image.bytes().data());
        state.counters["pixels"] = static_cast<double>(preview.image.width()) * preview.image.height();
    }
}
BENCHMARK(BM_PreviewWithDecodedArt)->Unit(benchmark::kMillisecond);

void BM_PreviewBlocks(benchmark::State& state) {
    const std::vector<PreviewTile> tiles = keep();
    for (auto _ : state) {
        const Preview preview = RenderPreview(tiles);
        benchmark::DoNotOptimize(preview.image.bytes().data());
    }
}
BENCHMARK(BM_PreviewBlocks)->Unit(benchmark::kMillisecond);

void BM_EncodePng(benchmark::State& state) {
    NativeFileSystem fileSystem;
    ClientArt client = OpenClientArt(fileSystem, kArtFolder);
    const Preview preview = RenderPreview(keep(), {.art = client.art.get(), .tileData = &*client.tileData});
    for (auto _ : state) {
        const std::string png = EncodePng(preview.image);
        benchmark::DoNotOptimize(png.data());
        state.counters["bytes"] = static_cast<double>(png.size());
    }
}
BENCHMARK(BM_EncodePng)->Unit(benchmark::kMillisecond);

}  // namespace
