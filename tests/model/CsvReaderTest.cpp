#include <gtest/gtest.h>

#include "TestFiles.h"
#include "model/ReaderTestSupport.h"

namespace keelwright {
namespace {

// The CSV reader with the default load options, as the test support calls a reader.
void readCsv(std::string_view text, const std::string& fileName, ComponentTable& table,
             const ComponentsList& components, const ItemCountSink& showItemCount) {
    ReadCsvFile(text, fileName, table, components, showItemCount);
}

using test::CrLfLines;

TEST(CsvReader, LoadsTileLinesInDecimalOrHex) {
    const struct {
        const char* what;
        std::string text;
        std::vector<std::string> itemIds, xs, zs;
    } rows[] = {
        {"hex ids and flags, as the editor writes",
         CrLfLines(
             {"TileID,OffsetX,OffsetY,OffsetZ,Flag,Cliloc", "0x0064,-3,2,0,0x1,", "0x026E,1,0,5,0x0,1020"}),
         {"0x0064", "0x026E"},
         {"-2", "2"},
         {"0", "5"}},
        {"decimal throughout, header in other letter case, blanks around values",
         CrLfLines({"tileid,offsetx,offsety,offsetz,flag,cliloc", " 100 , -3 ,2,0,1,", "622,1,0,5,0,"}),
         {"100", "622"},
         {"-2", "2"},
         {"0", "5"}},
        {"comments, blank lines and a byte order mark; no Cliloc column",
         "\xEF\xBB\xBF// made by hand\n\nTileID,OffsetX,OffsetY,OffsetZ,Flag\n// the "
         "door\n100,-3,2,0,0\n\n622,1,0,5,0\n",
         {"100", "622"},
         {"-2", "2"},
         {"0", "5"}},
        {"values in quotes, an empty flag",
         CrLfLines({"\"TileID\",\"OffsetX\",\"OffsetY\",\"OffsetZ\",\"Flag\",\"Cliloc\"",
                    "\"100\",-3,2,0,,\"1,2\"", "622,1,0,\"5\",0,"}),
         {"100", "622"},
         {"-2", "2"},
         {"0", "5"}},
        {"hex offsets as 16-bit two's complement",
         CrLfLines({"TileID,OffsetX,OffsetY,OffsetZ,Flag,Cliloc", "100,0xFFFD,2,0x0A,0,", "622,0x1,0,0,0,"}),
         {"100", "622"},
         {"-2", "2"},
         {"10", "0"}},
    };
    for (const auto& row : rows) {
        const test::Loaded loaded = test::Read(readCsv, row.text, ComponentsList({"026E"}));
        const ComponentTable& t = loaded.table;
        ASSERT_EQ(t.Count, 2) << row.what;
        EXPECT_EQ(loaded.shownCount, 2) << row.what;
        for (std::size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(t.ItemId[i], row.itemIds[i]) << row.what;
            EXPECT_EQ(t.X[i], row.xs[i]) << row.what;
            EXPECT_EQ(t.Z[i], row.zs[i]) << row.what;
        }
        EXPECT_EQ(t.Y[0], "1") << row.what;
        EXPECT_EQ(t.Flags[0], "1") << row.what;
        EXPECT_EQ(t.Flags[1], "0") << row.what << ": the listed item is marked whatever the Flag column says";
    }
}

TEST(CsvReader, FailsNamingTheFileAndLine) {
    const std::string header = "TileID,OffsetX,OffsetY,OffsetZ,Flag,Cliloc";
    const struct {
        const char* what;
        std::string text;
        std::string description;
    } rows[] = {
        {"no header", CrLfLines({"0x0064,-3,2,0,0x1,"}),
         "c.csv:1: not a CSV tile list: expected the header line TileID,OffsetX,OffsetY,OffsetZ,Flag,Cliloc, "
         "found \"0x0064,-3,2,0,0x1,\""},
        {"a line of four values", CrLfLines({header, "// one", "100,1,2,0,0,", "100,1,2,0"}),
         "c.csv:4: a tile line needs five values"},
        {"an x that is no number", CrLfLines({header, "100,1,2,0,0,", "100,one,2,0,0,"}),
         "c.csv:3: x \"one\" is not a number"},
        {"a hex offset past 16 bits", CrLfLines({header, "100,0x10000,2,0,0,"}),
         "c.csv:2: x \"0x10000\" is not a number of 0x0 to 0xFFFF"},
        {"a flag that is no number", CrLfLines({header, "100,1,2,0,yes,"}),
         "c.csv:2: flag \"yes\" is not a number"},
        {"a bad item id, met when marking", CrLfLines({header, "// x", "100,1,2,0,0,", "0x1FFFF,1,2,0,0,"}),
         "c.csv:4: item id \"0x1FFFF\" is above 0xFFFF"},
        {"the header alone", CrLfLines({header, "// nothing"}), "c.csv:3: the file holds no tile line"},
        {"an empty file", "", "c.csv:1: the file ends before the header line"},
    };
    for (const auto& row : rows) {
        ComponentTable table;
        try {
            ReadCsvFile(row.text, "c.csv", table, ComponentsList({"026E"}));
            ADD_FAILURE() << row.what << ": loaded";
        } catch (const Error& e) {
            EXPECT_EQ(e.description().substr(0, row.description.size()), row.description) << row.what;
        }
    }
}

}  // namespace
}  // namespace keelwright
