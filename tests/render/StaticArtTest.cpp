#include "render/StaticArt.h"

#include <gtest/gtest.h>

#include "model/Error.h"
#include "mulfiles/MemoryFile.h"
#include "render/ArtLibrary.h"
#include "render/MulArtSource.h"
#include "render/RenderTestSupport.h"
#include "render/UopArtSource.h"
#include "uop/UopTestFiles.h"

namespace keelwright {
namespace {

using test::Bytes;
using test::MemoryFile;
using test::Words16;
using test::Words32;
using test::operator+;

constexpr std::uint16_t R = 0x7C00;  // pure red
constexpr std::uint16_t G = 0x03E0;  // pure green
constexpr std::uint16_t B = 0x001F;  // pure blue
constexpr std::uint16_t W = 0xFFFF;  // white, with bit 15 set
constexpr std::uint16_t H = 0x4210;  // 16 of 31 in every channel
constexpr std::uint16_t Z = 0x8000;  // 0 once bit 15 is ignored

// The picture as text, a row a line: '.' transparent, else the letter of its colour (or '?').
std::string pictureText(const RgbaImage& picture) {
    std::string text;
    for (std::int32_t y = 0; y < picture.height(); ++y) {
        for (std::int32_t x = 0; x < picture.width(); ++x) {
            const Rgba p = picture.pixel(x, y);
            char c = '?';
            if (p == Rgba{}) {
                c = '.';
            } else if (p == Rgba{255, 0, 0, 255}) {
                c = 'R';
            } else if (p == Rgba{0, 255, 0, 255}) {
                c = 'G';
            } else if (p == Rgba{0, 0, 255, 255}) {
                c = 'B';
            } else if (p == Rgba{255, 255, 255, 255}) {
                c = 'W';
            } else if (p == Rgba{131, 131, 131, 255}) {  // 16 * 255 / 31, rounded down
                c = 'H';
            }
            text += c;
        }
        text += '|';
    }
    return text;
}

TEST(StaticArt, DecodesRunsOffsetsAndTransparency) {
    struct Case {
        const char* what;
        Bytes entry;  // header, width, height, lookup, rows
        const char* picture;
    };
    const Case cases[] = {
        {"offsets move x within a row and every row starts at 0",
         Words16({0, 0, 4, 2, 0, 6}) + Words16({1, 2, R, G, 0, 0}) + Words16({0, 1, B, 2, 1, W, 0, 0}),
         ".RG.|B..W|"},
        {"rows found through the lookup table, in any order and shared",
         Words16({0, 0, 2, 3, 5, 0, 5}) + Words16({1, 1, G, 0, 0}) + Words16({0, 2, R, R, 0, 0}),
         "RR|.G|RR|"},
        {"a run with no pixels only moves x", Words16({0, 0, 4, 1, 0}) + Words16({2, 0, 1, 1, B, 0, 0}),
         "...B|"},
        {"pixels 0 inside a run are transparent, with or without bit 15",
         Words16({0, 0, 4, 1, 0}) + Words16({0, 4, R, 0, Z, H, 0, 0}), "R..H|"},
        {"pixels right of the width are cut", Words16({0, 0, 2, 1, 0}) + Words16({1, 3, G, B, R, 0, 0}),
         ".G|"},
        {"a row without runs is transparent", Words16({0, 0, 3, 1, 0}) + Words16({0, 0}), "...|"},
        {"a run may end at x 2047", Words16({0, 0, 3, 1, 0}) + Words16({2047, 1, R, 0, 0}), "...|"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pictureText(DecodeStaticArt(c.entry)), c.picture) << c.what;
    }
}

TEST(StaticArt, RefusesEntriesThatBreakTheLayoutNamingTheByte) {
    struct Case {
        const char* what;
        Bytes entry;
        const char* reason;  // the entry begins at byte 1000 of its file
    };
    const Case cases[] = {
        {"too short for the header", Words16({0, 0, 4}), "byte 1000: the entry of 6 bytes is too short"},
        {"width 0", Words16({0, 0, 0, 1, 0, 0, 0}), "byte 1004: width 0 is outside 1 to 1023"},
        {"width 1024", Words16({0, 0, 1024, 1, 0, 0, 0}), "byte 1004: width 1024 is outside 1 to 1023"},
        {"height 0", Words16({0, 0, 1, 0, 0, 0}), "byte 1006: height 0 is outside 1 to 2560"},
        {"height 2561", Words16({0, 0, 1, 2561, 0, 0, 0}), "byte 1006: height 2561 is outside 1 to 2560"},
        {"a header that claims more rows than the entry holds", Words16({0, 0, 1000, 2000, 0, 0, 0, 0}),
         "byte 1008: the lookup table of 2000 rows reaches past the end of the 16-byte entry"},
        {"a run cut short by the end of the entry", Words16({0, 0, 8, 1, 0}) + Words16({0, 5, R, R}),
         "byte 1010: row 0 has a run of 5 pixels past the end of the entry"},
        {"a row without its end mark", Words16({0, 0, 8, 1, 0}) + Words16({0, 1, R}),
         "byte 1016: row 0 runs past the end of the entry before its end mark"},
        {"a lookup entry that points past the entry", Words16({0, 0, 1, 2, 0, 9}) + Words16({0, 0}),
         "byte 1030: row 1 runs past the end of the entry before its end mark"},
        {"a run that reaches x 2048", Words16({0, 0, 8, 1, 0}) + Words16({2047, 2, R, R, 0, 0}),
         "byte 1010: row 0 has a run that reaches x 2048, past 2047"},
        {"offsets that add up past x 2047",
         Words16({0, 0, 8, 1, 0}) + Words16({1000, 0, 1000, 0, 48, 1, R, 0, 0}),
         "byte 1018: row 0 has a run that reaches x 2048, past 2047"},
    };
    for (const Case& c : cases) {
        try {
            DecodeStaticArt(c.entry, 1000);
            ADD_FAILURE() << c.what << ": decoded";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), ErrorNumber::InvalidFileFormat) << c.what;
            EXPECT_EQ(e.reason().rfind(c.reason, 0), 0U) << c.what << ": " << e.reason();
        }
    }
}

// An artidx.mul whose records from 0x4000 on are the given (offset, length) pairs.
Bytes artIndex(std::initializer_list<std::pair<std::int32_t, std::int32_t>> statics) {
    Bytes index(std::size_t{0x4000} * 12, 0xFF);
    for (const auto& [offset, length] : statics) {
        index = index + Words32({offset, length, 0});
    }
    return index;
}

TEST(MulArtSource, FindsEntriesByItemAndTakesNoRecordForNone) {
    const Bytes art = Bytes(7, 0xAA) + test::SolidArtEntry(2, 2, R);  // 24 bytes at offset 7
    MulArtSource source(MemoryFile::Make("artidx.mul", artIndex({{7, 24}, {-1, 24}, {7, 0}, {7, -1}})),
                        MemoryFile::Make("art.mul", art));
    const std::optional<ArtEntry> found = source.staticEntry(0);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->bytes, Bytes(art.begin() + 7, art.end()));
    EXPECT_EQ(found->file, "art.mul");
    EXPECT_EQ(found->offset, 7U);
    EXPECT_FALSE(source.staticEntry(1)) << "offset below 0";
    EXPECT_FALSE(source.staticEntry(2)) << "length 0";
    EXPECT_FALSE(source.staticEntry(3)) << "length below 0 (bit 31 set)";
    EXPECT_FALSE(source.staticEntry(4)) << "past the end of the index";
    EXPECT_FALSE(source.staticEntry(0xFFFF)) << "the highest item id";
}

TEST(MulArtSource, RefusesAnEntryPastTheEndOfArtMulNamingIndexItemAndRecord) {
    MulArtSource source(MemoryFile::Make("artidx.mul", artIndex({{0, 24}, {20, 5}})),
                        MemoryFile::Make("art.mul", Bytes(24, 0)));
    EXPECT_TRUE(source.staticEntry(0)) << "an entry that ends at the end of the file";
    try {
        source.staticEntry(1);
        FAIL() << "read an entry past the end";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), ErrorNumber::InvalidFileFormat);
        EXPECT_EQ(e.description(),
                  "artidx.mul: item 1 (0x0001): the record at byte 196620 points at bytes 20 to 25, past the "
                  "end of art.mul (24 bytes)");
    }
}

TEST(UopArtSource, FindsEntriesByNameStoredOrCompressedAndNamesItemAndEntryOfALyingOne) {
    EXPECT_EQ(ArtEntryName(0x4000 + 1193), "build/artlegacymul/00017577.tga");
    const Bytes red = test::SolidArtEntry(2, 2, R);
    const Bytes blue = test::SolidArtEntry(3, 1, B);
    const auto text = [](const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); };
    // Entry 0 (item 1, stored) at byte 52, its data at 40 + 2 blocks of 12 + 2 * 34 bytes; entry 1 (item 7,
    // compressed) at byte 86; entry 2 (index 3, a land tile, not a static item) in the second block.
    const std::string file = test::FactUopBytes(5, 2,
                                                {{ArtEntryName(0x4001), text(red), false},
                                                 {ArtEntryName(0x4007), text(blue), true},
                                                 {ArtEntryName(3), text(blue), false}});
    const auto source = [&](const std::string& bytes) {
        return UopArtSource(MemoryFile::Make("artLegacyMUL.uop", Bytes(bytes.begin(), bytes.end())));
    };
    UopArtSource uop = source(file);
    const std::optional<ArtEntry> stored = uop.staticEntry(1);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->bytes, red);
    EXPECT_EQ(stored->file, "artLegacyMUL.uop");
    EXPECT_EQ(stored->offset, 40U + 2 * (12 + 2 * 34) + 12) << "the data after the per-entry header";
    const std::optional<ArtEntry> compressed = uop.staticEntry(7);
    ASSERT_TRUE(compressed);
    EXPECT_EQ(compressed->bytes, blue);
    EXPECT_FALSE(uop.staticEntry(3)) << "index 3 is a land tile's, not item 3's";
    EXPECT_FALSE(uop.staticEntry(0xFFFF));

    struct Case {
        const char* what;
        std::size_t at;  // a table field of entry 0 to change
        std::uint64_t value;
        int size;
        std::string reason;  // what the error's reason begins with
    };
    const Case cases[] = {
        {"decompressed length unlike the stored one", 52 + 16, 25, 4, "item 1 (0x0001), entry 0x"},
        {"data past the end of the file", 52 + 12, 1000, 4, "item 1 (0x0001), entry 0x"},
        {"a decompressed length above any picture's", 52 + 16, 0x7FFFFFFF, 4, "item 1 (0x0001), entry 0x"},
    };
    for (const Case& c : cases) {
        UopArtSource lying = source(test::WithLe(file, c.at, c.value, c.size));
        try {
            lying.staticEntry(1);
            ADD_FAILURE() << c.what << ": read the entry";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), ErrorNumber::InvalidFileFormat) << c.what;
            EXPECT_EQ(e.file(), "artLegacyMUL.uop") << c.what;
            EXPECT_EQ(e.reason().rfind(c.reason, 0), 0U) << c.what << ": " << e.reason();
            EXPECT_NE(e.reason().find(" at byte 52: "), std::string::npos) << c.what << ": " << e.reason();
        }
    }
}

TEST(ArtLibrary, DecodesEachItemOnceAndNamesFileItemAndOffsetOfABadEntry) {
    const Bytes bad = Words16({0, 0, 0, 1, 0, 0, 0});
    ArtLibrary library(
        std::make_unique<MulArtSource>(MemoryFile::Make("artidx.mul", artIndex({{0, 24}, {24, 14}})),
                                       MemoryFile::Make("art.mul", test::SolidArtEntry(2, 2, G) + bad)));
    const RgbaImage* first = library.picture(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->pixel(1, 1), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(library.picture(0), first) << "decoded once and kept";
    EXPECT_EQ(library.picture(9), nullptr);
    try {
        library.picture(1);
        FAIL() << "decoded a picture of width 0";
    } catch (const Error& e) {
        EXPECT_EQ(e.description(),
                  "art.mul: item 1 (0x0001), art entry at byte 24: byte 28: width 0 is outside 1 to 1023");
    }
}

}  // namespace
}  // namespace keelwright
