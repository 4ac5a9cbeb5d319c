#include <gtest/gtest.h>

#include "model/DesignList.h"
#include "model/ReaderTestSupport.h"
#include "model/UoaLibrary.h"
#include "model/UoaLibraryBytes.h"

namespace keelwright {
namespace {

using test::Library;

const std::string kHouse = "House";
const std::string kLong = std::string(60, 'K') + "\xC3\xB6nigsburg " + std::string(70, 'x');  // 2-byte length
const std::string kCastles = "Castles";

Library mixedLibrary() {
    Library lib;
    lib.design(&kHouse, &kCastles,
               {{0, 1701, 0, 0, 0, 0},
                {1, -32767, 4, 2, 7, 0},  // id 0x8001, widened with its sign
                {1, 622, 2, 6, 142, 33},
                {0, 1702, 1, 1, 3, 0}})
        .design(nullptr, nullptr, {})  // no records: shares its offset with the next
        .design(&kLong, nullptr, {{1, 0x06A5, 10, 10, -5, 2}})
        .design(&kHouse, nullptr, {{0, 1, 0, 0, 0, 0}});
    return lib;
}

void load(const Library& lib, const std::optional<std::string>& design, test::Loaded& loaded,
          std::vector<std::string>& warnings) {
    ReadUoaLibrary(
        lib.index(), lib.bin, "Designs.idx", "Designs.bin", loaded.table, ComponentsList({"026E"}),
        [&](const ItemCount& n) {
            loaded.shownCount = n.count;
            warnings = n.warnings;
        },
        LoadOptions{false, {design, std::nullopt}});
}

TEST(UoaLibrary, ListsEveryDesignWithItsTreeAndRecordCount) {
    const Library lib = mixedLibrary();
    const DesignList list = DesignListOf(ReadUoaLibraryIndex(lib.index(), "Designs.idx", lib.bin.size()));
    ASSERT_EQ(list.entries.size(), 4u);
    EXPECT_EQ(list.kind, DesignList::Kind::Designs);
    const std::vector<std::array<std::string, 5>> expected = {
        {"1", "House", "Castles", "Unassigned", "4"},
        {"2", "", "", "Unassigned", "0"},
        {"3", kLong, "", "Unassigned", "1"},
        {"4", "House", "", "Unassigned", "1"},
    };
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const DesignSummary& d = list.entries[i];
        EXPECT_EQ((std::array{d.key, d.name, d.category, d.subsection, d.tiles}), expected[i]) << i;
    }
}

TEST(UoaLibrary, LoadsTheChosenDesignCentredMarkedAndWarned) {
    const Library lib = mixedLibrary();
    const struct {
        const char* what;
        std::string design;
        std::vector<std::string> itemIds, x, z, flags;
        std::vector<std::string> warnings;
    } rows[] = {
        {"both record versions, an id past 0x8000, a hue and a high z",
         "1",
         {"1701", "32769", "622", "1702"},
         {"-2", "2", "0", "-1"},
         {"0", "7", "142", "3"},
         {"1", "1", "0", "1"},
         {"1 tile has a hue, which client files cannot hold: the design loads without hues",
          "Designs.bin: byte 52: tile 3 is at z 142, outside -128 to 127: the game cannot show it above "
          "ground level"}},
        {"a unique name of 2-byte length, in UTF-8",
         kLong,
         {"1701"},
         {"0"},
         {"-5"},
         {"1"},
         {"1 tile has a hue, which client files cannot hold: the design loads without hues"}},
        {"a name two designs share, by position", "4", {"1"}, {"0"}, {"0"}, {"1"}, {}},
    };
    for (const auto& row : rows) {
        test::Loaded loaded;
        std::vector<std::string> warnings;
        load(lib, row.design, loaded, warnings);
        const ComponentTable& t = loaded.table;
        ASSERT_EQ(t.Count, static_cast<std::int32_t>(row.itemIds.size())) << row.what;
        EXPECT_EQ(loaded.shownCount, t.Count) << row.what;
        for (std::size_t i = 0; i < row.itemIds.size(); ++i) {
            EXPECT_EQ(t.ItemId[i], row.itemIds[i]) << row.what << " tile " << i;
            EXPECT_EQ(t.X[i], row.x[i]) << row.what << " tile " << i;
            EXPECT_EQ(t.Z[i], row.z[i]) << row.what << " tile " << i;
            EXPECT_EQ(t.Flags[i], row.flags[i]) << row.what << " tile " << i;
        }
        EXPECT_EQ(warnings, row.warnings) << row.what;
    }
}

std::string describeFailure(const std::string& index, const std::string& data,
                            const std::optional<std::string>& design) {
    ComponentTable table;
    try {
        ReadUoaLibrary(index, data, "Designs.idx", "Designs.bin", table, {}, {},
                       LoadOptions{false, {design, std::nullopt}});
    } catch (const Error& e) {
        return e.description();
    }
    return "loaded";
}

TEST(UoaLibrary, FailsAtEveryTruncationNamingTheFileAndByte) {
    const Library lib = mixedLibrary();
    const std::string index = lib.index();
    for (std::size_t size = 0; size < index.size(); ++size) {
        const std::string failure = describeFailure(index.substr(0, size), lib.bin, "3");
        EXPECT_EQ(failure.rfind("Designs.idx: byte ", 0), 0u) << size << ": " << failure;
    }
    // Design 1's records end at byte 104; any shorter data fails in its index (counts past the data) or
    // in its records.
    for (std::size_t size = 0; size < 104; ++size) {
        const std::string failure = describeFailure(index, lib.bin.substr(0, size), "1");
        EXPECT_TRUE(failure.rfind("Designs.idx: byte ", 0) == 0 ||
                    failure.rfind("Designs.bin: byte ", 0) == 0)
            << size << ": " << failure;
    }
}

TEST(UoaLibrary, RefusesHostileCountsOffsetsAndVersions) {
    const Library lib = mixedLibrary();
    const std::string index = lib.index();
    const auto patched = [](std::string bytes, std::size_t at, std::int64_t value, int width) {
        std::string field;
        Library::put(field, value, width);
        return bytes.replace(at, static_cast<std::size_t>(width), field);
    };
    const std::size_t firstOffset = 8 + (2 + 5) + (2 + 7) + (2 + 10) + 16;  // after design 1's strings, sizes
    const std::string after = std::to_string(index.size() - 8);
    const struct {
        const char* what;
        std::string index;
        std::string data;
        std::optional<std::string> design;
        std::string description;
    } rows[] = {
        {"a design count of 2 billion", patched(index, 0, 2'000'000'000, 4), lib.bin, "1",
         "Designs.idx: byte 0: the design count is 2000000000, but the " + after + " bytes after it hold " +
             std::to_string((index.size() - 8) / 31) + " entries at most"},
        {"a negative design count", patched(index, 0, -1, 4), lib.bin, "1",
         "Designs.idx: byte 0: the design count is -1"},
        {"index version 48", patched(index, 4, 48, 4), lib.bin, "1",
         "Designs.idx: byte 4: index version 48: expected a UO Architect Designs.idx of version 0"},
        {"a negative offset", patched(index, firstOffset, -8, 8), lib.bin, "1",
         "Designs.idx: byte 52: the offset of design 1 is -8, outside Designs.bin (156 bytes)"},
        {"an offset past the data", patched(index, firstOffset, 1LL << 40, 8), lib.bin, "1",
         "Designs.idx: byte 52: the offset of design 1 is 1099511627776, outside Designs.bin"},
        {"a record count past the data", patched(index, firstOffset + 8, 7, 4), lib.bin, "1",
         "Designs.idx: byte 60: the record count of design 1 is 7, but Designs.bin holds 6 records at most "
         "from byte 0"},
        {"bytes after the last entry", index + "x", lib.bin, "1",
         "Designs.idx: byte " + std::to_string(index.size()) + ": 1 bytes follow the last of the 4 entries"},
        {"a record of version 2", index, patched(lib.bin, 24, 2, 4), "1",
         "Designs.bin: byte 24: record 2 of the design has version 2: expected 0 or 1"},
        {"a design of no records", index, lib.bin, "2", "Designs.idx: the design \"\" has no tiles"},
        {"a name two designs share", index, lib.bin, "House", "Designs.idx: 2 designs are named \"House\""},
        {"no choice among several", index, lib.bin, std::nullopt,
         "Designs.idx: the file holds 4 designs, so one must be chosen: 1 \"House\" (4 tiles), 2 (0 tiles)"},
    };
    for (const auto& row : rows) {
        const std::string failure = describeFailure(row.index, row.data, row.design);
        EXPECT_EQ(failure.substr(0, row.description.size()), row.description) << row.what;
    }
}

}  // namespace
}  // namespace keelwright
