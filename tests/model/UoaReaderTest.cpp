#include <gtest/gtest.h>

#include "model/DesignList.h"
#include "model/ReaderTestSupport.h"

namespace keelwright {
namespace {

// Builds UO Architect files byte by byte, apart from the writer under test elsewhere.
struct Bytes {
    std::string b;
    Bytes& i16(int v) {
        b += static_cast<char>(v & 0xFF);
        b += static_cast<char>(v >> 8 & 0xFF);
        return *this;
    }
    Bytes& i32(std::int64_t v) {
        for (int s = 0; s < 32; s += 8) {
            b += static_cast<char>(v >> s & 0xFF);
        }
        return *this;
    }
    Bytes& str(const char* s) {  // nullptr: no string
        if (s == nullptr) {
            b += '\0';
            return *this;
        }
        b += '\1';
        b += static_cast<char>(std::string_view(s).size());
        b += s;
        return *this;
    }
    // A design's header with a tile count, then the tiles (id, x, y), z 5, level 2 and hue 33 each.
    Bytes& design(const char* name, std::int64_t count, std::vector<std::array<int, 3>> tiles,
                  const char* category = nullptr) {
        str(name).str(category).str(nullptr).i32(3).i32(3).i32(3).i32(3).i32(count);
        for (const auto& [id, x, y] : tiles) {
            i16(id).i16(x).i16(y).i16(5).i16(2).i16(33);
        }
        return *this;
    }
};

const std::vector<std::array<int, 3>> kThree = {{1701, 10, 20}, {0xFFFF, 14, 30}, {622, 12, 25}};

TEST(UoaReader, LoadsTheChosenDesignCentredAndMarked) {
    const std::string v1 = Bytes().i16(1).design("Tower", 3, kThree).b;
    const std::string v2 = Bytes()
                               .i16(2)
                               .i16(3)
                               .design(nullptr, 1, {{600, 0, 0}})
                               .design("K\xC3\xB6nigsburg", 3, kThree, "Castles")
                               .design("Tower", 2, {{1, 1, 1}, {2, 2, 2}})
                               .b;
    const struct {
        const char* what;
        const std::string& file;
        std::optional<std::string> design;
        std::int32_t count;
    } rows[] = {
        {"version 1, no choice", v1, std::nullopt, 3},
        {"version 1 by its name", v1, "Tower", 3},
        {"version 2 by a non-ASCII name", v2, "K\xC3\xB6nigsburg", 3},
        {"version 2 by position", v2, "2", 3},
        {"a name before a position", v2, "Tower", 2},
        {"the design without strings", v2, "1", 1},
    };
    for (const auto& row : rows) {
        test::Loaded loaded;
        ReadUoaFile(row.file, "d.uoa", loaded.table, ComponentsList({"026E"}),
                    [&](std::int32_t n) { loaded.shownCount = n; }, LoadOptions{false, {row.design, std::nullopt}});
        const ComponentTable& t = loaded.table;
        ASSERT_EQ(t.Count, row.count) << row.what;
        EXPECT_EQ(loaded.shownCount, row.count) << row.what;
        if (row.count == 3) {
            EXPECT_EQ(t.ItemId[1], "65535") << row.what;
            EXPECT_EQ(t.X[0], "-2") << row.what;
            EXPECT_EQ(t.Y[2], "0") << row.what;
            EXPECT_EQ(t.Z[0], "5") << row.what << ": level and hue are not read as z";
            EXPECT_EQ(t.Flags[2], "0") << row.what;
            EXPECT_EQ(t.Flags[0], "1") << row.what;
        }
    }
}

TEST(UoaReader, FailsNamingTheFileAndTheByteOffset) {
    const Bytes two = Bytes().i16(2).i16(2).design("A", 1, {{1, 0, 0}}).design("B", 3, kThree);
    std::string truncated = Bytes().i16(1).design("A", 3, kThree).b;
    truncated.resize(truncated.size() - 5);
    std::string longLength = Bytes().i16(1).b + "\1\x80\x80\x80\x80\x80\x01";
    const struct {
        const char* what;
        std::string file;
        std::optional<std::string> design;
        std::string description;
    } rows[] = {
        {"several designs and no choice", two.b, std::nullopt,
         "d.uoa: the file holds 2 designs, so one must be chosen: 1 \"A\" (1 tile), 2 \"B\" (3 tiles)"},
        {"no such design", two.b, "C",
         "d.uoa: no design is named \"C\" or has that position: 1 \"A\" (1 tile), 2 \"B\" (3 tiles)"},
        {"position past the last", two.b, "3", "d.uoa: no design is named \"3\""},
        {"truncated in the tiles", truncated, std::nullopt,
         "d.uoa: byte 23: the tile count of design 1 is 3, but 31 bytes hold only 2 tiles"},
        {"a lying tile count of 2 billion", Bytes().i16(1).design("A", 2'000'000'000, kThree).b, std::nullopt,
         "d.uoa: byte 23: the tile count of design 1 is 2000000000, but 36 bytes hold only 3 tiles"},
        {"a negative tile count", Bytes().i16(1).design("A", -1, {}).b, std::nullopt,
         "d.uoa: byte 23: the tile count of design 1 is -1, below 0"},
        {"a lying design count", Bytes().i16(2).i16(32767).design("A", 1, {{1, 0, 0}}).b, std::nullopt,
         "d.uoa: byte 41: the file ends inside the name of design 2 (1 bytes needed, 0 left)"},
        {"a string flag other than 0 or 1", Bytes().i16(1).b + "\2", std::nullopt,
         "d.uoa: byte 2: the name of design 1 begins with 2: expected 0 (no string) or 1 (a string)"},
        {"a string longer than the file", Bytes().i16(1).b + "\1\x7F" + "abc", std::nullopt,
         "d.uoa: byte 3: the name of design 1 is 127 bytes long, but only 3 bytes follow"},
        {"a length of six groups", longLength, std::nullopt,
         "d.uoa: byte 3: the length of the name of design 1 runs past 5 bytes"},
        {"version 3", Bytes().i16(3).b, std::nullopt,
         "d.uoa: byte 0: version 3: expected a UO Architect design file of version 1 or 2"},
        {"a design of no tiles", Bytes().i16(1).design("A", 0, {}).b, std::nullopt,
         "d.uoa: byte 27: the design has no tiles"},
    };
    for (const auto& row : rows) {
        ComponentTable table;
        try {
            ReadUoaFile(row.file, "d.uoa", table, {}, {}, LoadOptions{false, {row.design, std::nullopt}});
            ADD_FAILURE() << row.what << ": loaded";
        } catch (const Error& e) {
            EXPECT_EQ(e.description().substr(0, row.description.size()), row.description) << row.what;
        }
        EXPECT_LE(table.ItemId.size(), 3u) << row.what;
    }
}

TEST(UoaReader, ListsTheDesignsOfACollection) {
    const std::string file =
        Bytes().i16(2).i16(2).design("A\x1B[2J", 1, {{1, 0, 0}}, "Keeps").design(nullptr, 3, kThree).b;
    const DesignList list = ListDesigns(file, "d.uoa", ScriptType::Uoa);
    ASSERT_EQ(list.entries.size(), 2u);
    EXPECT_EQ(list.kind, DesignList::Kind::Designs);
    EXPECT_EQ(ShownName(list.entries[0].name), "A\\x1B[2J");
    EXPECT_EQ(list.entries[0].category, "Keeps");
    EXPECT_EQ(list.entries[1].key, "2");
    EXPECT_EQ(list.entries[1].tiles, "3");
}

}  // namespace
}  // namespace keelwright
