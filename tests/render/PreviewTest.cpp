#include "render/Preview.h"

#include <gtest/gtest.h>

#include <functional>

#include "TestFiles.h"
#include "TestTables.h"
#include "model/ComponentTable.h"
#include "model/ComponentsList.h"
#include "model/Error.h"
#include "model/ScriptReaders.h"
#include "mulfiles/NativeFileSystem.h"
#include "render/ArtLibrary.h"
#include "render/MulArtSource.h"
#include "render/PngFile.h"
#include "render/RenderTestSupport.h"
#include "render/TileData.h"
#include "render/UopArtSource.h"

namespace keelwright {
namespace {

using test::FakeArtSource;
using test::SolidArtEntry;

constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kBlue{0, 0, 255, 255};
constexpr Rgba kGrey{10, 20, 30, 255};

// The pixel of the preview at a point of the scene.
Rgba at(const Preview& preview, std::int32_t x, std::int32_t y) {
    return preview.image.pixel(preview.originX + x, preview.originY + y);
}

// The example house as the window loads it, with Components.txt marking its door and sign.
std::vector<PreviewTile> exampleHouse() {
    ComponentTable table;
    LoadMulti(test::ExamplesFolder() / "house.txt", ScriptType::MultiTxt, table,
              ReadComponentsList(test::ExamplesFolder() / "Components.txt"));
    return PreviewTilesOf(table);
}

TEST(RenderPreview, PlacesPicturesByTheGamesRuleAndDrawsBackToFront) {
    // Item 1 is a red 44 x 44 square, item 2 a blue one; item 3 a blue 11 x 20 one.
    ArtLibrary art(std::make_unique<FakeArtSource>(
        std::map<std::uint16_t, test::Bytes>{{1, SolidArtEntry(44, 44, 0x7C00)},
                                             {2, SolidArtEntry(44, 44, 0x001F)},
                                             {3, SolidArtEntry(11, 20, 0x001F)}}));
    TileData walls;
    walls.set(1, {20, false});  // t = 2
    walls.set(2, {0, true});    // t = 0
    struct Case {
        const char* what;
        std::vector<PreviewTile> tiles;
        bool withTileData;
        std::int32_t probeX, probeY;  // a scene point both pictures cover
        Rgba expected;
    };
    const Case cases[] = {
        {"the tile in front (higher x + y) covers the one behind, listed first",
         {{1, 1, 0, 0}, {2, 0, 0, 0}},
         false,
         10,
         -10,
         kRed},
        {"the tile in front covers the one behind, listed last",
         {{2, 0, 0, 0}, {1, 1, 0, 0}},
         false,
         10,
         -10,
         kRed},
        {"at equal x + y the higher z covers", {{1, 0, 0, 5}, {2, 0, 0, 0}}, false, 0, -30, kRed},
        {"with equal keys the later in the list covers", {{1, 0, 0, 0}, {2, 0, 0, 0}}, false, 0, -20, kBlue},
        {"a wall covers a Background floor at its z listed after it",
         {{1, 0, 0, 0}, {2, 0, 0, 0}},
         true,
         0,
         -20,
         kRed},
        {"t counts height and Background: a wall covers a floor one z higher",
         {{1, 0, 0, 0}, {2, 0, 0, 1}},
         true,
         0,
         -20,
         kRed},
    };
    for (const Case& c : cases) {
        const Preview preview = RenderPreview(
            c.tiles, {.art = &art, .tileData = c.withTileData ? &walls : nullptr, .markCentre = false});
        EXPECT_EQ(at(preview, c.probeX, c.probeY), c.expected) << c.what;
        EXPECT_EQ(preview.artTiles, 2) << c.what;
    }

    // A w x h picture of tile (x, y, z) has its top-left corner at ((x - y) * 22 - w / 2, (x + y) * 22 - 4z -
    // h): the red square of (0, 0, 0) spans -22..21 x -44..-1, the 11 x 20 picture of (2, 1, 3) 17..27
    // x 34..53.
    const std::vector<PreviewTile> apart = {{1, 0, 0, 0}, {3, 2, 1, 3}};
    const Preview preview = RenderPreview(apart, {.art = &art, .markCentre = false, .background = kGrey});
    EXPECT_EQ(preview.image.width(), (27 - -22 + 1) + 2 * kPreviewMargin);
    EXPECT_EQ(preview.image.height(), (53 - -44 + 1) + 2 * kPreviewMargin);
    EXPECT_EQ(preview.originX, kPreviewMargin + 22);
    EXPECT_EQ(preview.originY, kPreviewMargin + 44);
    const std::pair<std::pair<std::int32_t, std::int32_t>, Rgba> probes[] = {
        {{-22, -44}, kRed}, {{21, -1}, kRed},  {{22, -1}, kGrey}, {{-22, 0}, kGrey}, {{17, 34}, kBlue},
        {{27, 53}, kBlue},  {{16, 34}, kGrey}, {{17, 33}, kGrey}, {{28, 53}, kGrey}, {{27, 54}, kGrey}};
    for (const auto& [point, colour] : probes) {
        EXPECT_EQ(at(preview, point.first, point.second), colour) << point.first << "," << point.second;
    }
}

TEST(RenderPreview, BlockLookOfTheExampleHouseHasTheSizeItsTilesSpan) {
    // The house spans x -2..2 and y -3..1 at z 20, and its sign stands at (-1, 2), z 27 (centring moves
    // nothing). A block is 44 wide and 44 + 4 * height tall; without tiledata.mul every block is 5 high
    // (64 pixels). x - y runs from -3 to 5: left -3 * 22 - 22, right 5 * 22 + 22. The highest top is the
    // block at x + y = -5: -110 - 80 - 64; the lowest bottom is at x + y = 3: 66 - 80.
    const std::vector<PreviewTile> house = exampleHouse();
    const Preview blocks = RenderPreview(house);
    EXPECT_EQ(blocks.image.width(), 220 + 2 * kPreviewMargin);
    EXPECT_EQ(blocks.image.height(), (-14 - -254) + 2 * kPreviewMargin);
    EXPECT_EQ(blocks.blockTiles, 26);
    EXPECT_EQ(blocks.artTiles, 0);

    // With the example tiledata.mul the walls and the door are 20 high (124 pixels): the top rises to
    // -110 - 80 - 124.
    NativeFileSystem fileSystem;
    const TileData tileData = TileData::read(fileSystem, test::ExamplesFolder() / "art" / "tiledata.mul");
    const Preview tall = RenderPreview(house, {.tileData = &tileData});
    EXPECT_EQ(tall.image.width(), 220 + 2 * kPreviewMargin);
    EXPECT_EQ(tall.image.height(), (-14 - -314) + 2 * kPreviewMargin);

    // The middles of the tops: the door (0, 1) is a component and stands out from the walls beside it.
    const auto topMiddle = [&](std::int32_t x, std::int32_t y) {
        return at(blocks, (x - y) * 22, (x + y) * 22 - 80 - 42);
    };
    EXPECT_EQ(topMiddle(-1, 1), topMiddle(1, 1));
    EXPECT_NE(topMiddle(0, 1), topMiddle(1, 1));
    EXPECT_NE(topMiddle(1, 1), kPreviewBackground);
}

TEST(RenderPreview, ExampleHouseWithTheExampleArtOfEitherSourceMatchesTheStoredPicture) {
    NativeFileSystem fileSystem;
    const std::filesystem::path folder = test::ExamplesFolder() / "art";
    const TileData tileData = TileData::read(fileSystem, folder / "tiledata.mul");
    const RgbaImage stored = test::ReadPng(test::TestDataFolder() / "house-art.png");
    const std::pair<const char*, std::function<std::unique_ptr<ArtSource>()>> sources[] = {
        {"art.mul",
         [&] {
             return std::make_unique<MulArtSource>(fileSystem, folder / "artidx.mul", folder / "art.mul");
         }},
        {"artLegacyMUL.uop",
         [&] { return std::make_unique<UopArtSource>(fileSystem, folder / "artLegacyMUL.uop"); }},
    };
    for (const auto& [name, open] : sources) {
        ArtLibrary art(open());
        const Preview preview = RenderPreview(exampleHouse(), {.art = &art, .tileData = &tileData});
        EXPECT_EQ(preview.artTiles, 26) << name;
        EXPECT_EQ(preview.blockTiles, 0) << name;
        if (preview.image != stored) {
            const auto actual = std::filesystem::temp_directory_path() / (std::string(name) + ".actual.png");
            WritePng(fileSystem, actual, preview.image);
            ADD_FAILURE() << "the picture from " << name
                          << " differs from tests/data/house-art.png; it was written to " << actual;
        }
        EXPECT_EQ(test::DecodePng(EncodePng(preview.image)), preview.image) << "the PNG holds every pixel";
    }
}

TEST(RenderPreview, RefusesTilesTooFarApartForOnePicture) {
    const std::vector<PreviewTile> tiles = {{1, -32768, 0, 0}, {1, 32767, 0, 0}};
    try {
        RenderPreview(tiles);
        FAIL() << "drew a picture of about 2.9 million pixels across";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), ErrorNumber::Overflow);
        EXPECT_NE(e.reason().find("too far apart"), std::string::npos) << e.reason();
    }
}

TEST(PreviewTilesOf, ConvertsTheTableAsAPatchDoesAndNamesTheComponentThatDoesNotFit) {
    const std::vector<PreviewTile> tiles =
        PreviewTilesOf(test::TableOf({{"0x6AD", "-2", "3", "20", "0"}, {"1193", "2.5", "-1", "-7", "1"}}));
    EXPECT_EQ(tiles, (std::vector<PreviewTile>{{1709, -2, 3, 20, 0}, {1193, 2, -1, -7, 1}}));
    EXPECT_TRUE(tiles[0].isComponent());

    try {
        PreviewTilesOf(test::TableOf({{"1", "0", "0", "0", "1"}, {"1", "0", "40000", "0", "1"}}));
        FAIL() << "converted y 40000";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), ErrorNumber::Overflow);
        EXPECT_EQ(e.reason().rfind("component 2: ", 0), 0U) << e.reason();
    }
}

}  // namespace
}  // namespace keelwright
