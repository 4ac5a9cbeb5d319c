#include <gtest/gtest.h>

#include "TestFiles.h"
#include "model/BinaryTextRefusal.h"
#include "model/ComponentTable.h"
#include "model/ComponentsList.h"
#include "model/DesignList.h"
#include "model/Error.h"
#include "model/ReaderTestSupport.h"
#include "model/ScriptReaders.h"

namespace keelwright {
namespace {

using test::CrLfLines;
using test::LfLines;

const std::vector<std::string> kExample = {
    "6 version", "1 template id", "-1 item version", "3 num components",
    "604 -1 -1 0 1", "605 0 -1 0 1", "606 1 1 5 0",
};

using test::Loaded;

Loaded read(std::string_view text, const ComponentsList& list = {}) { return test::Read(ReadMultiTxt, text, list); }

Error readFailure(std::string_view text, Loaded& loaded, const ComponentsList& list = {}) {
    return test::ReadFailure(ReadMultiTxt, text, loaded, list);
}

std::vector<std::string> withComponentLines(std::vector<std::string> lines) {
    std::vector<std::string> all = {"6 version", "1 template id", "-1 item version"};
    all.insert(all.end(), lines.begin(), lines.end());
    return all;
}

TEST(MultiTxtReader, LoadsTheExampleWithFlagsOneAndShowsTheCount) {
    const Loaded loaded = read(CrLfLines(kExample));
    const ComponentTable& t = loaded.table;
    EXPECT_EQ(t.Count, 3);
    EXPECT_EQ(loaded.shownCount, 3);
    EXPECT_EQ(t.MinX, -1);
    EXPECT_EQ(t.MaxX, 1);
    EXPECT_EQ(t.MinY, -1);
    EXPECT_EQ(t.MaxY, 1);
    EXPECT_EQ(t.ItemId[2], "606");
    EXPECT_EQ(t.X[2], "1");
    EXPECT_EQ(t.Z[2], "5");
    for (std::int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(t.Flags[i], "1") << "the fifth word is not read";
    }
}

TEST(MultiTxtReader, WindowsAndUnixLineEndsLoadTheSameTable) {
    const Loaded crlf = read(CrLfLines(kExample));
    const Loaded lf = read(LfLines(kExample));
    std::string noFinalBreak = LfLines(kExample);
    noFinalBreak.pop_back();
    const Loaded unterminated = read(noFinalBreak);
    for (const Loaded* other : {&lf, &unterminated}) {
        ASSERT_EQ(other->table.Count, crlf.table.Count);
        for (std::int32_t i = 0; i < crlf.table.Count; ++i) {
            EXPECT_EQ(other->table.ItemId[i], crlf.table.ItemId[i]);
            EXPECT_EQ(other->table.X[i], crlf.table.X[i]);
            EXPECT_EQ(other->table.Z[i], crlf.table.Z[i]);
        }
    }
}

TEST(MultiTxtReader, CentresAndMarksListedComponents) {
    const Loaded loaded = read(CrLfLines(withComponentLines({"2 num components", "622 10 20 0", "600 14 30 0"})),
                               ComponentsList({"026E"}));
    EXPECT_EQ(loaded.table.X[0], "-2");
    EXPECT_EQ(loaded.table.Y[0], "-5");
    EXPECT_EQ(loaded.table.Flags[0], "0");
    EXPECT_EQ(loaded.table.Flags[1], "1");
}

TEST(MultiTxtReader, AcceptsACountLineWithTheNumberAlone) {
    EXPECT_EQ(read(CrLfLines(withComponentLines({"1", "604 3 4 0"}))).table.Count, 1);
}

TEST(MultiTxtReader, StopsAfterTheCountAndStoresNothingBeyondIt) {
    const Loaded loaded = read(CrLfLines(withComponentLines({"2 num components", "604 0 0 0", "605 2 0 0",
                                                             "not a component line at all"})));
    EXPECT_EQ(loaded.table.Count, 2);
    EXPECT_EQ(loaded.table.storedEntries(), 2);
    EXPECT_EQ(loaded.table.MaxX, 1);
}

TEST(MultiTxtReader, FailuresNameTheFileTheLineAndTheReason) {
    struct Row {
        std::vector<std::string> lines;
        int line;
        const char* reasonPart;
    };
    const Row rows[] = {
        {{"6 version", "1 template id"}, 3, "ends before the count line"},
        {withComponentLines({"three num components", "604 0 0 0"}), 4, "component count \"three\""},
        {withComponentLines({" 3 num components", "604 0 0 0"}), 4, "component count \"\""},
        {withComponentLines({"0 num components"}), 4, "below 1"},
        {withComponentLines({"-2 num components"}), 4, "below 1"},
        {withComponentLines({"2 num components", "604 0 0 0", "605  0 0"}), 6, "x \"\" is not a number"},
        {withComponentLines({"2 num components", "604 0 0 0", "605 x 0 0"}), 6, "x \"x\" is not a number"},
        {withComponentLines({"2 num components", "604 0 0 0", "605 0 0"}), 6, "needs four words"},
        {withComponentLines({"2 num components", "604 0 0 0", "", "605 0 0 0"}), 6, "blank line"},
        {withComponentLines({"3 num components", "604 0 0 0", "605 1 0 0"}), 4, "only 2 component lines"},
        {withComponentLines({"1 num components"}), 4, "only 0 component lines"},
        {{"0x6A5 0 3 7", "0x6A6 1 3 7", "0x6A7 2 3 7", "0x6A8 3 3 7"}, 4,
         "component count \"0x6A8\" is not a number: expected three header lines and a count line"},
        {{"0x6A5 0 3 7 0", "0x6A6 1 3 7"}, 2, "not a tile line: expected five words \"ItemId X Y Z Flags\""},
        {{"0x6A5 0 3 7 0", "0x6A6 1 3 7 0 1"}, 2, "found \"0x6A6 1 3 7 0 1\""},
        {{"0x6A5 0 3 7 0", "", "0x6A6 1 3 7 0"}, 2, "blank line among the tile lines"},
        {{"0x6A5 0 3 7 0", "0x6A6 east 3 7 0"}, 2, "x \"east\" is not a number"},
    };
    for (const Row& row : rows) {
        Loaded loaded;
        const Error e = readFailure(CrLfLines(row.lines), loaded);
        EXPECT_EQ(e.file(), "script");
        EXPECT_EQ(e.line(), row.line) << e.description();
        EXPECT_NE(e.reason().find(row.reasonPart), std::string::npos) << e.description();
    }
}

TEST(MultiTxtReader, ATextWhoseFirstLineHasFiveWordsIsOneTilePerLineWithoutAHeader) {
    const std::vector<std::string> tiles = {"0x6A5 0 3 7 0", "0x6a6  4 3 7 0", "1200\t1\t5\t0\t1",
                                            "0x06A7 2 1 0 0"};
    std::vector<std::string> trailingBlanks = tiles;
    trailingBlanks.insert(trailingBlanks.end(), {"", " "});
    for (const std::string& text : {CrLfLines(tiles), LfLines(trailingBlanks)}) {
        const Loaded loaded = read(text, ComponentsList({"06A5", "04B0"}));
        const ComponentTable& t = loaded.table;
        ASSERT_EQ(t.Count, 4);
        EXPECT_EQ(loaded.shownCount, 4);
        const char* ids[] = {"0x6A5", "0x6a6", "1200", "0x06A7"};
        const char* xs[] = {"-2", "2", "-1", "0"};
        const char* ys[] = {"0", "0", "2", "-2"};
        const char* zs[] = {"7", "7", "0", "0"};
        const char* flags[] = {"0", "1", "0", "1"};  // the fifth word is not read
        for (std::int32_t i = 0; i < 4; ++i) {
            EXPECT_EQ(t.ItemId[i], ids[i]);
            EXPECT_EQ(t.X[i], xs[i]);
            EXPECT_EQ(t.Y[i], ys[i]);
            EXPECT_EQ(t.Z[i], zs[i]);
            EXPECT_EQ(t.Flags[i], flags[i]);
        }
        EXPECT_EQ(t.MinX, -2);
        EXPECT_EQ(t.MaxY, 2);
    }

    Loaded loaded;
    const Error e = readFailure(CrLfLines({"0x6A5 0 3 7 0", "0x10000 1 1 0 0"}), loaded, ComponentsList({"06A5"}));
    EXPECT_EQ(e.line(), 2);
    EXPECT_EQ(e.number(), ErrorNumber::Overflow);
}

TEST(MultiTxtReader, TooFewComponentLinesFailInCentringAfterTheCountIsShown) {
    Loaded loaded;
    readFailure(CrLfLines(withComponentLines({"3 num components", "604 4 0 0", "605 6 0 0"})), loaded);
    EXPECT_EQ(loaded.shownCount, 3);
    EXPECT_EQ(loaded.table.Count, 3);
    EXPECT_EQ(loaded.table.X[0], "-1");  // entries before the missing one are already moved
    EXPECT_EQ(loaded.table.X[2], "");
    EXPECT_EQ(loaded.table.MaxX, 6);  // the bounds are not
}

TEST(MultiTxtReader, ACountBelowOneLeavesTheTableEmptyAndNothingShown) {
    Loaded loaded;
    readFailure(CrLfLines(withComponentLines({"0 num components", "604 0 0 0"})), loaded);
    EXPECT_EQ(loaded.table.Count, 0);
    EXPECT_FALSE(loaded.shownCount.has_value());
}

TEST(MultiTxtReader, ANonSixteenBitItemIdFailsOnlyWithAListToMarkAgainst) {
    const std::string text = CrLfLines(withComponentLines({"2 num components", "604 0 0 0", "70000 1 1 0"}));
    EXPECT_EQ(read(text).table.Count, 2);
    Loaded loaded;
    const Error e = readFailure(text, loaded, ComponentsList({"0E26"}));
    EXPECT_EQ(e.line(), 6);
    EXPECT_EQ(e.number(), ErrorNumber::Overflow);
}

TEST(MultiTxtReader, ACountFarBeyondTheFileFailsAtTheCountLine) {
    Loaded loaded;
    const Error e = readFailure(CrLfLines(withComponentLines({"2147483647 num components", "604 0 0 0"})), loaded);
    EXPECT_EQ(e.line(), 4);
    EXPECT_EQ(loaded.table.Count, 2147483647);
    EXPECT_EQ(loaded.table.storedEntries(), 1);
}

}  // namespace
}  // namespace keelwright

namespace keelwright {
namespace {

TEST(MultiTxtReader, AnExactLoadKeepsPlacesAndFlagsAsTheFileGivesThem) {
    const struct {
        const char* what;
        std::vector<std::string> lines;
        std::vector<std::string> x, flags;  // empty x: the load fails, `flags` holding the reason's start
    } rows[] = {
        {"with the header: not centred, flags whole, the lead record a tile",
         withComponentLines({"2 num components", "1 0 0 0 0", "606 9 9 5 18446744073709551615"}),
         {"0", "9"},
         {"0", "18446744073709551615"}},
        {"without a header", {"604 4 -1 0 0x10", "605 6 -1 0 1"}, {"4", "6"}, {"0x10", "1"}},
        {"a line without flags",
         withComponentLines({"1 num components", "604 4 -1 0"}),
         {},
         {"an exact load needs five words per component line"}},
        {"flags past 64 bits",
         {"604 4 -1 0 18446744073709551616"},
         {},
         {"flags \"18446744073709551616\" do not fit"}},
        {"a negative flags word",
         withComponentLines({"1 num components", "604 4 -1 0 -1"}),
         {},
         {"flags \"-1\" are not a whole number"}},
    };
    const ComponentsList listing606(std::vector<std::string>{"0606"});
    for (const auto& row : rows) {
        ComponentTable table;
        try {
            ReadMultiTxt(CrLfLines(row.lines), "script", table, listing606, {}, LoadOptions{true, {}});
            ASSERT_FALSE(row.x.empty()) << row.what << ": loaded";
            ASSERT_EQ(table.Count, static_cast<std::int32_t>(row.x.size())) << row.what;
            for (std::size_t i = 0; i < row.x.size(); ++i) {
                EXPECT_EQ(table.X[i], row.x[i]) << row.what;
                EXPECT_EQ(table.Flags[i], row.flags[i]) << row.what << ": the list marks nothing";
            }
        } catch (const Error& e) {
            ASSERT_TRUE(row.x.empty()) << row.what << ": " << e.description();
            EXPECT_EQ(e.reason().rfind(row.flags[0], 0), 0U) << row.what << ": " << e.description();
        }
    }
}

TEST(MultiTxtReader, AnExactLoadOfMultiTextOrCsvReadsThePartIdsAfterTheFlags) {
    using Parts = std::vector<std::vector<std::uint32_t>>;
    using ExactReader = void (*)(std::string_view, const std::string&, ComponentTable&, const ComponentsList&,
                                 const ItemCountSink&, const LoadOptions&);
    const std::string csvHeader = "TileID,OffsetX,OffsetY,OffsetZ,Flag,Cliloc";
    const struct {
        const char* what;
        ExactReader reader;
        std::vector<std::string> lines;
        Parts parts;          // of each entry
        std::string failure;  // the reason's start, for a load that fails
    } rows[] = {
        {"whole numbers after the flags; a tile without any",
         ReadMultiTxt,
         withComponentLines({"2 num components", "16050 1 0 0 1 119404 119405", "604 0 0 0 0"}),
         {{119404, 119405}, {}},
         ""},
        {"a part name ends them",
         ReadMultiTxt,
         withComponentLines({"1 num components", "16050 1 0 0 1 7 shiptillerman 9"}),
         {{7}},
         ""},
        {"a part id past 32 bits",
         ReadMultiTxt,
         withComponentLines({"1 num components", "16050 1 0 0 1 4294967296"}),
         {},
         "part id \"4294967296\" is outside 0 to 4294967295"},
        {"the Cliloc column, quoted or not, and an empty one",
         ReadCsvFile,
         {csvHeader, "0x3EB2,1,0,0,0x0,119404 119405", "0x0064,1,0,0,0x1,", "0x0064,1,0,0,0x1,\"8 9\",x"},
         {{119404, 119405}, {}, {8, 9}},
         ""},
        {"a negative part id",
         ReadCsvFile,
         {csvHeader, "0x3EB2,1,0,0,0x0,-1"},
         {},
         "part id \"-1\" is outside"},
    };
    for (const auto& row : rows) {
        ComponentTable table;
        try {
            const std::string text = CrLfLines(row.lines);
            row.reader(text, "script", table, {}, {}, LoadOptions{true, {}});
            ASSERT_TRUE(row.failure.empty()) << row.what << ": loaded";
            ASSERT_EQ(table.Count, static_cast<std::int32_t>(row.parts.size())) << row.what;
            for (std::size_t i = 0; i < row.parts.size(); ++i) {
                const std::span<const std::uint32_t> parts = table.PartsOf(i);
                EXPECT_EQ(std::vector<std::uint32_t>(parts.begin(), parts.end()), row.parts[i])
                    << row.what << i;
            }
        } catch (const Error& e) {
            ASSERT_FALSE(row.failure.empty()) << row.what << ": " << e.description();
            EXPECT_EQ(e.reason().rfind(row.failure, 0), 0U) << row.what << ": " << e.description();
        }
    }
}

TEST(MultiTxtReader, ChoosesOneOfSeveralTemplatesByItsId) {
    const std::string text = test::CrLfLines({
        "6 version",
        "1 template id",
        "-1 item version",
        "2 num components",
        "600 0 0 0 1",
        "601 2 0 0 1",
        "6 version",
        "7 template id",
        "-1 item version",
        "1 num components",
        "700 5 5 0 1",
        "701 9 9 9 1",
        "",
        "6 VERSION",
        "9 template id",
        "-1 item version",
        "2 num components",
        "900 0 0 0 1",
        "901 x 0 0 1",
    });
    const struct {
        const char* what;
        std::optional<std::string> id;
        std::string firstItem;  // of the loaded template; empty when the load fails
        std::size_t unreadLines;
        std::string description;  // of the failure
    } rows[] = {
        {"the first", "1", "600", 0, ""},
        {"the second, its extra line unread", "7", "700", 1, ""},
        {"no choice", std::nullopt, "", 0,
         "t.txt: the file holds 3 templates, so one must be chosen: id 1 (2 tiles), id 7 (1 tile), id 9 (2 "
         "tiles)"},
        {"an id no template has", "8", "", 0, "t.txt: no template has the id \"8\": the file holds id 1"},
        {"an error in the third names the file's line", "9", "", 0, "t.txt:19: x \"x\" is not a number"},
    };
    for (const auto& row : rows) {
        ComponentTable table;
        std::size_t unread = 0;
        try {
            ReadMultiTxt(text, "t.txt", table, {}, [&](const ItemCount& c) { unread = c.unreadLines; },
                         LoadOptions{false, {std::nullopt, row.id}});
            EXPECT_EQ(table.ItemId[0], row.firstItem) << row.what;
            EXPECT_EQ(unread, row.unreadLines) << row.what;
        } catch (const Error& e) {
            EXPECT_EQ(row.firstItem, "") << row.what << ": " << e.description();
            EXPECT_EQ(e.description().substr(0, row.description.size()), row.description) << row.what;
        }
    }
}

TEST(MultiTxtReader, TheGamesFormWithOneVersionLineListsAndLoadsEveryTemplate) {
    const std::string text = test::CrLfLines({
        "6 version",
        "0 template id",
        "-1 item version",
        "2 num components",
        "16050 1 0 0 1 shiptillerman",
        "16051 2 0 0 1",
        "5 Template ID",
        "-1 item version",
        "1 num components",
        "700 5 5 0 1 hold part",
        "9 template id",
        "-1 item version",
        "1 num components",
        "900 0 0 0 1",
        "901 1 1 1 1",
        "",
        "not a tile",
    });
    const DesignList list = ListDesigns(text, "g.txt", ScriptType::MultiTxt);
    std::vector<std::string> keys;
    for (const DesignSummary& d : list.entries) {
        keys.push_back(d.key + ":" + d.tiles);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"0:2", "5:1", "9:1"}));

    const struct {
        const char* what;
        std::string id;
        std::string firstItem;
        std::vector<std::string> warnings;
    } rows[] = {
        {"the first, a part name after the flags", "0", "16050", {}},
        {"one of three header lines", "5", "700", {}},
        {"the last, lines after it named",
         "9",
         "900",
         {"g.txt: lines 15 to 17 were not read: the count line (line 13) gives 1 components, and what "
          "follows "
          "them is no template (\"N template id\" or \"N version\")"}},
    };
    for (const auto& row : rows) {
        ComponentTable table;
        std::vector<std::string> warnings;
        ReadMultiTxt(
            text, "g.txt", table, {}, [&](const ItemCount& c) { warnings = c.warnings; },
            LoadOptions{false, {std::nullopt, row.id}});
        EXPECT_EQ(table.ItemId[0], row.firstItem) << row.what;
        EXPECT_EQ(warnings, row.warnings) << row.what;
    }
}

TEST(MultiTxtReader, RefusesBinaryAndUtf16FilesOfEveryTextType) {
    std::string late(kBinaryProbeBytes, 'a');
    late += '\0';
    const struct {
        const char* what;
        std::string bytes;
        ScriptType type;
        std::string description;  // empty: the check lets it through to the reader
    } rows[] = {
        {"a NUL in multi text", std::string("6 version\0\0", 11), ScriptType::MultiTxt,
         "b: is a binary file, not multi text"},
        {"a NUL in WSC", std::string("\0SECTION", 8), ScriptType::Wsc, "b: is a binary file, not WSC"},
        {"a NUL in CSV", std::string("TileID\0", 7), ScriptType::Csv, "b: is a binary file, not CSV"},
        {"UTF-16 little-endian", "\xFF\xFE" + std::string("6\0", 2), ScriptType::MultiTxt,
         "b: is UTF-16 text: save it as UTF-8 or ANSI"},
        {"UTF-16 big-endian", "\xFE\xFF", ScriptType::Csv, "b: is UTF-16 text: save it as UTF-8 or ANSI"},
        {"a NUL past the first 4 KiB", late, ScriptType::MultiTxt, ""},
        {"a binary type", std::string("\x01\0\x01", 3), ScriptType::Uoa, ""},
    };
    for (const auto& row : rows) {
        std::string description;
        try {
            ComponentTable table;
            ReadScript(row.bytes, "b", row.type, table, {});
        } catch (const Error& e) {
            description = e.description();
        }
        const bool refused = description.find("binary file") != std::string::npos ||
                             description.find("UTF-16") != std::string::npos;
        EXPECT_EQ(refused ? description : "", row.description) << row.what;
        if (row.type == ScriptType::MultiTxt && !row.description.empty()) {
            EXPECT_THROW(ListDesigns(row.bytes, "b", row.type), Error) << row.what;
        }
    }
}

}  // namespace
}  // namespace keelwright
