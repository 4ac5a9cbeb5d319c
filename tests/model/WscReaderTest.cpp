#include <gtest/gtest.h>

#include "TestFiles.h"
#include "model/ReaderTestSupport.h"
#include "model/ComponentsList.h"
#include "model/ComponentTable.h"
#include "model/Error.h"
#include "model/ScriptReaders.h"

namespace keelwright {
namespace {

struct Item {
    std::string id, x, y, z;
};

// The 14 lines a Sphere server's .export writes for one item, starting at its ID line (the four lines before
// it, SECTION to NAME, are the previous group's tail or the file's preamble).
std::vector<std::string> groupLines(const Item& item, std::int32_t serial) {
    return {"ID " + item.id, "X " + item.x, "Y " + item.y, "Z " + item.z, "CONT -1", "TYPE 0", "AMOUNT 1",
            "COLOR 0", "}", "", "SECTION WORLDITEM 0", "{", "SERIAL " + std::to_string(serial), "NAME tile"};
}

std::vector<std::string> exportLines(const std::vector<Item>& items) {
    std::vector<std::string> lines = {"SECTION WORLDITEM 0", "{", "SERIAL 1073741830", "NAME tile"};
    std::int32_t serial = 1073741831;
    for (const Item& item : items) {
        const std::vector<std::string> group = groupLines(item, serial++);
        lines.insert(lines.end(), group.begin(), group.end());
    }
    // The last item's group ends at its empty line, as the server writes it.
    if (!items.empty()) {
        lines.resize(lines.size() - 4);
    }
    return lines;
}

const std::vector<Item> kThreeItems = {{"1709", "430", "620", "20"}, {"1710", "431", "625", "20"},
                                       {"1711", "432", "630", "27"}};

using test::Loaded;

Loaded read(std::string_view text, const ComponentsList& list = {}) { return test::Read(ReadWscFile, text, list); }

Error readFailure(std::string_view text, Loaded& loaded, const ComponentsList& list = {}) {
    return test::ReadFailure(ReadWscFile, text, loaded, list);
}

TEST(WscReader, LoadsThreeItemsCentredWithZAsExported) {
    const Loaded loaded = read(test::CrLfLines(exportLines(kThreeItems)));
    const ComponentTable& t = loaded.table;
    ASSERT_EQ(t.Count, 3);
    EXPECT_EQ(loaded.shownCount, 3);
    const char* xs[] = {"-1", "0", "1"};
    const char* ys[] = {"-5", "0", "5"};
    for (std::int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(t.X[i], xs[i]);
        EXPECT_EQ(t.Y[i], ys[i]);
        EXPECT_EQ(t.ItemId[i], kThreeItems[static_cast<std::size_t>(i)].id);
        EXPECT_EQ(t.Z[i], kThreeItems[static_cast<std::size_t>(i)].z);
    }
    EXPECT_EQ(t.MinY, -5);
    EXPECT_EQ(t.MaxY, 5);
}

TEST(WscReader, GroupsOfFourteenLinesWithOrWithoutTheLastGroupsTailLoadAlike) {
    std::vector<std::string> full = exportLines(kThreeItems);
    full.insert(full.end(), {"SECTION WORLDITEM 0", "{", "SERIAL 1", "NAME tile"});
    ASSERT_EQ(full.size(), 4u + 14u * 3u);
    EXPECT_EQ(read(test::LfLines(full)).table.Count, 3);

    std::vector<std::string> cut = exportLines(kThreeItems);
    cut.resize(4 + 14 * 2 + 4);  // ends right after the third item's z line
    EXPECT_EQ(read(test::LfLines(cut)).table.Count, 3);
}

TEST(WscReader, WindowsAndUnixLineEndsLoadTheSameTable) {
    const Loaded crlf = read(test::CrLfLines(exportLines(kThreeItems)));
    const Loaded lf = read(test::LfLines(exportLines(kThreeItems)));
    ASSERT_EQ(lf.table.Count, crlf.table.Count);
    for (std::int32_t i = 0; i < crlf.table.Count; ++i) {
        EXPECT_EQ(lf.table.Y[i], crlf.table.Y[i]);
        EXPECT_EQ(lf.table.Z[i], crlf.table.Z[i]);
    }
}

TEST(WscReader, APreambleAloneLoadsNoItems) {
    const Loaded loaded = read(test::CrLfLines({"a", "b", "c", "d"}));
    EXPECT_EQ(loaded.table.Count, 0);
    EXPECT_EQ(loaded.shownCount, 0);
    EXPECT_EQ(loaded.table.MaxX, 0);
}

TEST(WscReader, TakesOnlyTheSecondWordOfAValueLineAndIgnoresKeyNames) {
    std::vector<std::string> lines = exportLines({{"1709", "430", "620", "20"}});
    lines[4] = "ITEM 1709 extra words";
    lines[7] = "HEIGHT 20";
    const Loaded loaded = read(test::CrLfLines(lines));
    EXPECT_EQ(loaded.table.ItemId[0], "1709");
    EXPECT_EQ(loaded.table.Z[0], "20");
}

TEST(WscReader, AGroupOfTheWrongLengthShiftsTheLaterGroups) {
    std::vector<std::string> lines = exportLines(kThreeItems);
    lines.erase(lines.begin() + 10);  // the first item's group loses its AMOUNT line
    const Loaded loaded = read(test::CrLfLines(lines));
    ASSERT_EQ(loaded.table.Count, 3);
    EXPECT_EQ(loaded.table.ItemId[0], "1709");
    EXPECT_EQ(loaded.table.ItemId[1], "431");  // "X 431" falls where the id line should be
    EXPECT_EQ(loaded.table.Z[1], "-1");        // and "CONT -1" where the z line should be
}

TEST(WscReader, FailuresNameTheFileTheLineAndTheReason) {
    struct Row {
        std::vector<std::string> lines;
        int line;
        const char* reasonPart;
    };
    std::vector<std::string> endsAfterX = exportLines(kThreeItems);
    endsAfterX.resize(4 + 14 * 2 + 2);
    std::vector<std::string> noValue = exportLines(kThreeItems);
    noValue[4 + 14 + 1] = "X";
    std::vector<std::string> notANumber = exportLines(kThreeItems);
    notANumber[4 + 14 * 2 + 2] = "Y north";
    const Row rows[] = {
        {{"a", "b", "c"}, 4, "ends before the end of the preamble"},
        {endsAfterX, 4 + 14 * 2 + 3, "ends before the y line of item 3"},
        {noValue, 4 + 14 + 2, "needs a word, a space and the value"},
        {notANumber, 4 + 14 * 2 + 3, "y \"north\" is not a number"},
    };
    for (const Row& row : rows) {
        Loaded loaded;
        const Error e = readFailure(test::CrLfLines(row.lines), loaded);
        EXPECT_EQ(e.file(), "script");
        EXPECT_EQ(e.line(), row.line) << e.description();
        EXPECT_NE(e.reason().find(row.reasonPart), std::string::npos) << e.description();
        EXPECT_EQ(loaded.table.Count, 0) << "Count is set only after the whole file is read";
        EXPECT_FALSE(loaded.shownCount.has_value());
    }
}

TEST(WscReader, AnItemIdThatIsNotSixteenBitsFailsMarkingAtItsLine) {
    std::vector<Item> items = kThreeItems;
    items[1].id = "70000";
    const std::string text = test::CrLfLines(exportLines(items));
    EXPECT_EQ(read(text).table.Count, 3);
    Loaded loaded;
    const Error e = readFailure(text, loaded, ComponentsList({"06AD"}));
    EXPECT_EQ(e.line(), 4 + 14 + 1);
    EXPECT_EQ(loaded.shownCount, 3);
    EXPECT_EQ(loaded.table.Flags[0], "0");  // marked before the failing entry
}

}  // namespace
}  // namespace keelwright
