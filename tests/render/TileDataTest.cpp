#include "render/TileData.h"

#include <gtest/gtest.h>

#include "model/Error.h"
#include "mulfiles/MemoryFile.h"
#include "render/RenderTestSupport.h"

namespace keelwright {
namespace {

using test::Bytes;
using test::MemoryFile;

constexpr std::size_t kOldLand = 428'032;
constexpr std::size_t kNewLand = 493'568;
constexpr std::size_t kOldGroup = 4 + 32 * 37;
constexpr std::size_t kNewGroup = 4 + 32 * 41;

// A tiledata.mul of `size` bytes with the Background flag and the height of some items set where the
// format puts them.
struct Item {
    std::uint16_t id;
    std::uint8_t height;
    bool background;
};
Bytes tiledata(std::size_t size, bool newFormat, std::initializer_list<Item> items) {
    Bytes bytes(size, 0);
    for (const Item& item : items) {
        const std::size_t at = (newFormat ? kNewLand + item.id / 32 * kNewGroup + 4 + item.id % 32 * 41
                                          : kOldLand + item.id / 32 * kOldGroup + 4 + item.id % 32 * 37);
        bytes[at] = item.background ? 0x01 : 0x10;  // 0x10: a flag the preview does not read
        bytes[at + (newFormat ? 4 : 1)] = 0xFF;     // flag bits above the lowest byte
        bytes[at + (newFormat ? 20 : 16)] = item.height;
    }
    return bytes;
}

TEST(TileData, ReadsHeightAndBackgroundOfStaticsInTheFormatTheSizeTells) {
    struct Case {
        const char* what;
        Bytes file;
        bool newFormat;
        std::size_t statics;
        std::vector<std::pair<std::uint16_t, std::optional<StaticTileInfo>>> expected;
    };
    const Case cases[] = {
        {"old format: 37-byte records, height at +16",
         tiledata(kOldLand + 2 * kOldGroup, false, {{0, 7, true}, {33, 20, false}, {63, 3, true}}),
         false,
         64,
         {{0, StaticTileInfo{7, true}},
          {33, StaticTileInfo{20, false}},
          {63, StaticTileInfo{3, true}},
          {1, StaticTileInfo{0, false}},
          {64, std::nullopt}}},
        {"old format: a record the file cuts short is left out",
         tiledata(kOldLand + 4 + 37 + 36, false, {}),
         false,
         1,
         {{0, StaticTileInfo{}}, {1, std::nullopt}}},
        {"old format up to a byte below the new size; only the groups item ids reach are read",
         tiledata(3'188'735, false, {{2000, 9, true}}),
         false,
         65536,
         {{2000, StaticTileInfo{9, true}}}},
        {"new format from 3,188,736 bytes: 41-byte records, 8 bytes of flags, height at +20",
         tiledata(3'188'736, true, {{40, 12, true}, {41, 0, false}, {65535, 99, false}}),
         true,
         65536,
         {{40, StaticTileInfo{12, true}},
          {41, StaticTileInfo{0, false}},
          {65535, StaticTileInfo{99, false}}}},
    };
    for (const Case& c : cases) {
        MemoryFile file(std::string(c.file.begin(), c.file.end()), "tiledata.mul");
        const TileData data = TileData::read(file);
        EXPECT_EQ(data.newFormat(), c.newFormat) << c.what;
        EXPECT_EQ(data.size(), c.statics) << c.what;
        for (const auto& [id, info] : c.expected) {
            EXPECT_EQ(data.find(id), info) << c.what << ", item " << id;
        }
    }
}

TEST(TileData, RefusesAFileShorterThanTheLandSection) {
    MemoryFile file(std::string(kOldLand - 1, '\0'), "tiledata.mul");
    try {
        TileData::read(file);
        FAIL() << "read a file without its land section";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), ErrorNumber::InvalidFileFormat);
        EXPECT_EQ(
            e.description(),
            "tiledata.mul: not a tiledata.mul: its 428031 bytes do not hold the 428032-byte land section");
    }
}

}  // namespace
}  // namespace keelwright
