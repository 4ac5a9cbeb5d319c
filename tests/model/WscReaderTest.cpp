#include <gtest/gtest.h>

#include "TestFiles.h"
#include "model/ComponentTable.h"
#include "model/ComponentsList.h"
#include "model/Error.h"
#include "model/ReaderTestSupport.h"
#include "model/ScriptReaders.h"

namespace keelwright {
namespace {

struct Item {
    std::string id, x, y, z;
};

// The 14 lines a Sphere server's .export writes for one item, starting at its ID line (the four lines before
// it, SECTION to NAME, are the previous group's tail or the file's preamble).
std::vector<std::string> groupLines(const Item& item, std::int32_t serial) {
    return {"ID " + item.id,
            "X " + item.x,
            "Y " + item.y,
            "Z " + item.z,
            "CONT -1",
            "TYPE 0",
            "AMOUNT 1",
            "COLOR 0",
            "}",
            "",
            "SECTION WORLDITEM 0",
            "{",
            "SERIAL " + std::to_string(serial),
            "NAME tile"};
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

const std::vector<Item> kThreeItems = {
    {"1709", "430", "620", "20"}, {"1710", "431", "625", "20"}, {"1711", "432", "630", "27"}};

// The same items as UOFiddler's WSC export writes them: tab-separated, eight lines per item, no blank line.
std::vector<std::string> uoFiddlerLines(const std::vector<Item>& items) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < items.size(); ++i) {
        lines.insert(lines.end(),
                     {"SECTION WORLDITEM " + std::to_string(i + 1), "{", "\tID\t" + items[i].id,
                      "\tX\t" + items[i].x, "\tY\t" + items[i].y, "\tZ\t" + items[i].z, "\tColor\t0", "}"});
    }
    return lines;
}

// The same items as ServUO's ExportWSC writes them.
std::vector<std::string> servUoLines(const std::vector<Item>& items) {
    std::vector<std::string> lines;
    for (const Item& item : items) {
        lines.insert(lines.end(),
                     {"SECTION WORLDITEM 0", "{", "SERIAL 1073745920", "NAME #", "NAME2 #", "ID " + item.id,
                      "X " + item.x, "Y " + item.y, "Z " + item.z, "COLOR 0", "CONT -1", "TYPE 0", "AMOUNT 1",
                      "WEIGHT 255", "OWNER -1", "SPAWN -1", "VALUE 1", "}", ""});
    }
    return lines;
}

using test::Loaded;

Loaded readWsc(std::string_view text, const ComponentsList& list = {}) {
    return test::Read(ReadWscFile, text, list);
}

Error readWscFailure(std::string_view text, Loaded& loaded, const ComponentsList& list = {}) {
    return test::ReadFailure(ReadWscFile, text, loaded, list);
}

TEST(WscReader, LoadsThreeItemsCentredWithZAsExported) {
    const Loaded loaded = readWsc(test::CrLfLines(exportLines(kThreeItems)));
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

TEST(WscReader, BlankLinesBetweenAndAfterTheGroupsMayBeThereOrNot) {
    std::vector<std::string> noFinalBlank = exportLines(kThreeItems);
    noFinalBlank.pop_back();
    std::vector<std::string> moreBlanks = exportLines(kThreeItems);
    moreBlanks.insert(moreBlanks.begin() + 14, {"", " \t"});
    moreBlanks.insert(moreBlanks.begin(), "");
    moreBlanks.push_back("");
    for (const std::vector<std::string>& lines : {noFinalBlank, moreBlanks}) {
        const Loaded loaded = readWsc(test::LfLines(lines));
        ASSERT_EQ(loaded.table.Count, 3);
        EXPECT_EQ(loaded.table.ItemId[2], "1711");
        EXPECT_EQ(loaded.table.Y[2], "5");
    }
}

TEST(WscReader, WindowsAndUnixLineEndsLoadTheSameTable) {
    const Loaded crlf = readWsc(test::CrLfLines(exportLines(kThreeItems)));
    const Loaded lf = readWsc(test::LfLines(exportLines(kThreeItems)));
    ASSERT_EQ(lf.table.Count, crlf.table.Count);
    for (std::int32_t i = 0; i < crlf.table.Count; ++i) {
        EXPECT_EQ(lf.table.Y[i], crlf.table.Y[i]);
        EXPECT_EQ(lf.table.Z[i], crlf.table.Z[i]);
    }
}

TEST(WscReader, KeysMatchInAnyLetterCaseAndTakeTheFirstWordAfterSpacesOrTabs) {
    std::vector<std::string> lines = exportLines({{"1709", "430", "620", "20"}});
    lines[4] = "id 1709 extra words";
    lines[5] = "\tx\t430";
    lines[6] = "  Y \t 620  ";
    lines[7] = "zZ 99";  // not a key the reader needs
    lines.insert(lines.begin() + 8, "z 20");
    const Loaded loaded = readWsc(test::CrLfLines(lines));
    ASSERT_EQ(loaded.table.Count, 1);
    EXPECT_EQ(loaded.table.ItemId[0], "1709");
    EXPECT_EQ(loaded.table.Z[0], "20");
    EXPECT_EQ(loaded.table.MaxX, 0);
}

TEST(WscReader, GroupsOfAnyLengthAndKeyOrderLoadAsTheirKeysSay) {
    std::vector<std::string> lines = exportLines(kThreeItems);
    lines.erase(lines.begin() + 10);                    // the first group loses its AMOUNT line
    std::swap(lines[4 + 13 + 1], lines[4 + 13 + 2]);    // the second group has Y before X
    lines.insert(lines.begin() + 4 + 13 + 3, "HUE 5");  // and a key of its own
    const Loaded shuffled = readWsc(test::CrLfLines(lines));
    const Loaded plain = readWsc(test::CrLfLines(exportLines(kThreeItems)));
    ASSERT_EQ(shuffled.table.Count, 3);
    for (std::int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(shuffled.table.ItemId[i], plain.table.ItemId[i]);
        EXPECT_EQ(shuffled.table.X[i], plain.table.X[i]);
        EXPECT_EQ(shuffled.table.Y[i], plain.table.Y[i]);
        EXPECT_EQ(shuffled.table.Z[i], plain.table.Z[i]);
    }
}

TEST(WscReader, SphereUoFiddlerAndServUoExportsOfTheSameItemsLoadTheSameMulti) {
    const Loaded sphere = readWsc(test::CrLfLines(exportLines(kThreeItems)));
    const Loaded single = readWsc(test::CrLfLines(servUoLines({{"1196", "1500", "1600", "7"}})));
    ASSERT_EQ(single.table.Count, 1);
    EXPECT_EQ(single.table.ItemId[0], "1196");
    EXPECT_EQ(single.table.Z[0], "7");
    for (const std::string& text :
         {test::CrLfLines(uoFiddlerLines(kThreeItems)), test::LfLines(servUoLines(kThreeItems))}) {
        const Loaded other = readWsc(text);
        ASSERT_EQ(other.table.Count, 3) << text;
        for (std::int32_t i = 0; i < 3; ++i) {
            EXPECT_EQ(other.table.ItemId[i], sphere.table.ItemId[i]);
            EXPECT_EQ(other.table.X[i], sphere.table.X[i]);
            EXPECT_EQ(other.table.Y[i], sphere.table.Y[i]);
            EXPECT_EQ(other.table.Z[i], sphere.table.Z[i]);
        }
        EXPECT_EQ(other.table.MinY, sphere.table.MinY);
        EXPECT_EQ(other.table.MaxY, sphere.table.MaxY);
    }
}

TEST(WscReader, FilesThatAreNotSphereExportsFailInsteadOfLoadingAsGarbage) {
    struct Row {
        std::vector<std::string> lines;
        int line;
        const char* reasonPart;
    };
    std::vector<std::string> uoFiddlerText;
    for (int i = 0; i < 26; ++i) {  // the 26 tiles of the example house
        uoFiddlerText.push_back("0x6A5 " + std::to_string(i % 5) + " " + std::to_string(i / 5) + " 7 0");
    }
    std::vector<std::string> secondWithoutZ = exportLines(kThreeItems);
    secondWithoutZ.erase(secondWithoutZ.begin() + 4 + 14 + 3);
    const Row rows[] = {
        {uoFiddlerText, 1, "not a WSC item group: expected SECTION WORLDITEM, found \"0x6A5 0 0 7 0\""},
        {{"6 version", "1 template id", "-1 item version", "5 num components", "604 -1 -1 0 1",
          "605 0 -1 0 1", "606 1 1 5 0", "607 2 1 5 0", "608 3 1 5 0"},
         1,
         "not a WSC item group: expected SECTION WORLDITEM, found \"6 version\""},
        {secondWithoutZ, 4 + 14 + 8, "the item group begun at line 15 has no Z line"},
    };
    for (const Row& row : rows) {
        Loaded loaded;
        const Error e = readWscFailure(test::CrLfLines(row.lines), loaded);
        EXPECT_EQ(e.line(), row.line) << e.description();
        EXPECT_NE(e.reason().find(row.reasonPart), std::string::npos) << e.description();
        EXPECT_EQ(e.number(), ErrorNumber::InvalidFileFormat);
    }
}

TEST(WscReader, FailuresNameTheFileTheLineAndTheReason) {
    struct Row {
        std::vector<std::string> lines;
        int line;
        const char* reasonPart;
    };
    std::vector<std::string> endsAfterX = exportLines(kThreeItems);
    endsAfterX.resize(4 + 14 * 2 + 2);
    std::vector<std::string> danglingHead = exportLines(kThreeItems);
    danglingHead.insert(danglingHead.end(), {"SECTION WORLDITEM 0", "{", "SERIAL 1", "NAME tile"});
    std::vector<std::string> noValue = exportLines(kThreeItems);
    noValue[4 + 14 + 1] = "X";
    std::vector<std::string> notANumber = exportLines(kThreeItems);
    notANumber[4 + 14 * 2 + 2] = "Y north";
    std::vector<std::string> otherKeyNames = exportLines(kThreeItems);
    otherKeyNames[4] = "ITEM 1709";
    otherKeyNames[7] = "HEIGHT 20";
    std::vector<std::string> twoX = exportLines(kThreeItems);
    twoX[4 + 4] = "X 1";
    std::vector<std::string> unclosed = exportLines(kThreeItems);
    unclosed.erase(unclosed.begin() + 4 + 8);
    const Row rows[] = {
        {{"a", "b", "c", "d"}, 1, "not a WSC item group: expected SECTION WORLDITEM, found \"a\""},
        {{"SECTION WORLDCHAR 0", "{", "}"}, 1, "expected SECTION WORLDITEM, found \"SECTION WORLDCHAR 0\""},
        {{"\x1B[2J"}, 1, "found \"\\x1B[2J\""},
        {{}, 1, "the file holds no WSC item group: expected SECTION WORLDITEM"},
        {{"", " "}, 3, "the file holds no WSC item group"},
        {{"SECTION WORLDITEM 0", "ID 1"}, 2, "expected \"{\" after SECTION WORLDITEM, found \"ID 1\""},
        {{"SECTION WORLDITEM 0"}, 2, "the file ends before the \"{\" of the item group begun at line 1"},
        {endsAfterX, 4 + 14 * 2 + 3, "the file ends inside the item group begun at line 29: expected \"}\""},
        {danglingHead, 4 + 14 * 3 + 1, "the file ends inside the item group begun at line 43"},
        {noValue, 4 + 14 + 2, "the X line has no value: expected X, spaces or tabs and the value"},
        {notANumber, 4 + 14 * 2 + 3, "y \"north\" is not a number"},
        {otherKeyNames, 13, "the item group begun at line 1 has no ID and Z line: expected one line each"},
        {twoX, 9, "the item group begun at line 1 has a second X line"},
        {unclosed, 14,
         "the item group begun at line 1 is not closed: expected \"}\" before the next group, "
         "found \"SECTION WORLDITEM 0\""},
    };
    for (const Row& row : rows) {
        Loaded loaded;
        const Error e = readWscFailure(test::CrLfLines(row.lines), loaded);
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
    EXPECT_EQ(readWsc(text).table.Count, 3);
    Loaded loaded;
    const Error e = readWscFailure(text, loaded, ComponentsList({"06AD"}));
    EXPECT_EQ(e.line(), 4 + 14 + 1);
    EXPECT_EQ(loaded.shownCount, 3);
    EXPECT_EQ(loaded.table.Flags[0], "0");  // marked before the failing entry
}

}  // namespace
}  // namespace keelwright
