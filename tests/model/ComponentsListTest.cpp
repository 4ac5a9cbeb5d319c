#include "model/ComponentsList.h"

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "model/Error.h"

namespace keelwright {
namespace {

TEST(ComponentsList, TakesTheUpperCasedFirstWordOfEveryLineAfterTheHeading) {
    const ComponentsList list = ReadComponentsList(
        test::CrLfLines({"heading 0ABC", "0e26 a word", "0E27", " 0E28", "", "0E27"}), "c.txt");
    const std::vector<std::string> expected = {"0E26", "0E27", "", "", "0E27"};
    EXPECT_EQ(list.entries(), expected);
    EXPECT_EQ(list.count(), 5);
    EXPECT_TRUE(list.listsItem(0x0E26));
    EXPECT_TRUE(list.listsItem(0x0E27));
    EXPECT_FALSE(list.listsItem(0x0E28));
    EXPECT_FALSE(list.listsItem(0x0ABC));
}

TEST(ComponentsList, AHeadingAloneGivesAnEmptyListAndALastLineNeedsNoBreak) {
    EXPECT_TRUE(ReadComponentsList("heading\r\n", "c.txt").empty());
    EXPECT_TRUE(ReadComponentsList("heading", "c.txt").empty());
    EXPECT_EQ(ReadComponentsList("heading\n0E26", "c.txt").count(), 1);
}

TEST(ComponentsList, ListsOnlyEntriesInTheExactHexFormOfAnId) {
    const ComponentsList list({"026E", "0026E", "26E", "00", "0FFFF", "010000", "0X1", "0+1", "0", "0-1"});
    EXPECT_TRUE(list.listsItem(622));
    EXPECT_TRUE(list.listsItem(0));
    EXPECT_TRUE(list.listsItem(-1));
    std::size_t listed = 0;
    for (int id = -32768; id <= 32767; ++id) {
        listed += list.listsItem(static_cast<std::int16_t>(id)) ? 1 : 0;
    }
    EXPECT_EQ(listed, 3u);
}

TEST(ComponentsList, FailsWithoutAHeadingLineOrAFileAndNamesTheFile) {
    try {
        ReadComponentsList("", "Components.txt");
        FAIL() << "read a list without a heading line";
    } catch (const Error& e) {
        EXPECT_EQ(e.file(), "Components.txt");
        EXPECT_EQ(e.number(), ErrorNumber::InputPastEnd);
    }
    test::TempDir dir;
    try {
        ReadComponentsList(dir / "Components.txt");
        FAIL() << "read a missing list";
    } catch (const Error& e) {
        EXPECT_EQ(e.file(), (dir / "Components.txt").string());
        EXPECT_EQ(e.number(), ErrorNumber::FileNotFound);
    }
}

TEST(ComponentsList, RefusesMoreEntriesThanASixteenBitCountHolds) {
    std::string text = "heading\n";
    for (int i = 0; i <= 32767; ++i) {
        text += "0E26\n";
    }
    EXPECT_THROW(ReadComponentsList(text, "c.txt"), Error);
    text.resize(text.size() - 5);
    EXPECT_EQ(ReadComponentsList(text, "c.txt").count(), 32767);
}

TEST(ComponentsList, IsFoundBesideTheProgramElseInTheSharedFolderOfAnInstalledOne) {
    const std::filesystem::path usrBin = "/usr/bin", opt = "/opt/keelwright";
    const std::filesystem::path besideUsrBin = usrBin / "Components.txt";
    const std::filesystem::path shared = "/usr/share/keelwright/Components.txt";
    const struct {
        std::filesystem::path programFolder;
        std::vector<std::filesystem::path> existing;
        std::filesystem::path expected;
    } rows[] = {
        {usrBin, {besideUsrBin, shared}, besideUsrBin},  // beside the program stays the rule
        {usrBin, {shared}, shared},
        {usrBin, {}, besideUsrBin},  // the message names where it belongs
        {opt, {"/opt/share/keelwright/Components.txt"}, opt / "Components.txt"},  // not a bin folder
        {"/usr/local/bin",
         {"/usr/local/share/keelwright/Components.txt"},
         "/usr/local/share/keelwright/Components.txt"},
    };
    for (const auto& row : rows) {
        const auto exists = [&row](const std::filesystem::path& path) {
            return std::find(row.existing.begin(), row.existing.end(), path) != row.existing.end();
        };
        EXPECT_EQ(DefaultComponentsPath(row.programFolder, exists), row.expected) << row.programFolder;
    }
}

}  // namespace
}  // namespace keelwright
