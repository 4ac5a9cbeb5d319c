#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "TestFiles.h"
#include "cli/CliTestSupport.h"
#include "model/PathText.h"
#include "model/UoaLibraryBytes.h"

namespace keelwright::test {
namespace {

std::string threeItemWsc() {
    std::vector<std::string> lines = {"SECTION WORLDITEM 0", "{", "SERIAL 1", "NAME door"};
    const char* items[][4] = {{"1709", "430", "620", "20"}, {"1710", "431", "625", "20"}, {"3026", "432", "630", "27"}};
    for (const auto& item : items) {
        lines.insert(lines.end(), {std::string("ID ") + item[0], std::string("X ") + item[1],
                                   std::string("Y ") + item[2], std::string("Z ") + item[3], "CONT -1", "TYPE 12",
                                   "AMOUNT 1", "COLOR 0", "}", "", "SECTION WORLDITEM 0", "{", "SERIAL 2",
                                   "NAME door"});
    }
    lines.resize(lines.size() - 4);
    return CrLfLines(lines);
}

TEST(ShowCommand, PrintsTheLoadedTableAsJson) {
    TempDir dir;
    const auto wsc = dir.write("three.WSC", threeItemWsc());
    const auto list = dir.write("Components.txt", CrLfLines({"heading", "06AD door"}));
    const CliResult r = RunCli({"show", "--components", list.string(), "--json", wsc.string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "{\"components\":[[\"1709\",\"-1\",\"-5\",\"20\",\"0\"],[\"1710\",\"0\",\"0\",\"20\",\"1\"],"
              "[\"3026\",\"1\",\"5\",\"27\",\"1\"]],\"count\":3,\"maxX\":1,\"maxY\":5,\"minX\":-1,\"minY\":-5}\n");
}

TEST(ShowCommand, ChoosesTheReaderByTypeOptionOrExtension) {
    TempDir dir;
    const auto disguised = dir.write("three.txt", threeItemWsc());
    EXPECT_EQ(RunCli({"show", "--no-components", disguised.string()}).status, 1);
    const CliResult r = RunCli({"show", "--no-components", "--type", "wsc", disguised.string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Components: 3"), std::string::npos) << r.out;
}

TEST(ShowCommand, KeepsEveryByteOfATextAsALatin1Character) {
    TempDir dir;
    const auto script = dir.write("m.txt", CrLfLines({"h", "h", "h", "1", "60\xe9 0 0 \xff"}));
    const CliResult r = RunCli({"show", "--no-components", "--json", script.string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("[\"60\xc3\xa9\",\"0\",\"0\",\"\xc3\xbf\",\"1\"]"), std::string::npos) << r.out;
}

// Each byte as the character of the same value, in UTF-8.
std::string Latin1ToUtf8(std::string_view bytes) {
    std::string text;
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        if (c < 0x80) {
            text += byte;
        } else {
            text += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
        }
    }
    return text;
}

TEST(ShowCommand, WritesJsonThatReadsBackToTheTextsOfTheFile) {
    // The item id and z of a component are kept as read: here every byte but the separators of words and
    // lines, and NUL, which marks a binary file.
    std::string low;
    std::string high;
    for (int c = 1; c < 0x100; ++c) {
        if (c != ' ' && c != '\n' && c != '\r') {
            (c < 0x80 ? low : high) += static_cast<char>(c);
        }
    }
    TempDir dir;
    const auto script =
        dir.write("bytes.txt", CrLfLines({"h", "h", "h", "2", low + " -1 -1 " + high, "\"\\ 1 1 \x7f"}));
    const CliResult r = RunCli({"show", "--no-components", "--json", script.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find('\n'), r.out.size() - 1) << "one line";
    const nlohmann::json shown = nlohmann::json::parse(r.out);
    const nlohmann::json expected = {
        {"components",
         {{Latin1ToUtf8(low), "-1", "-1", Latin1ToUtf8(high), "1"}, {"\"\\", "1", "1", "\x7f", "1"}}},
        {"count", 2},
        {"maxX", 1},
        {"maxY", 1},
        {"minX", -1},
        {"minY", -1}};
    EXPECT_EQ(shown, expected) << r.out;
}

TEST(ShowCommand, ReportsAFailedLoadOnOneLineOfStderrWithStatusOne) {
    TempDir dir;
    const auto script = dir.write("bad.txt", CrLfLines({"6 version", "1 template id", "-1 item version", "x"}));
    const CliResult r = RunCli({"show", "--no-components", script.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "keelwright-cli: error: " + script.string() +
                         ":4: component count \"x\" is not a number: expected three header lines and a count "
                         "line (\"26 num components\"), or \"ItemId X Y Z Flags\" lines without a header\n");

    const CliResult missing = RunCli({"show", "--no-components", (dir / "none.txt").string()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "keelwright-cli: error: " + (dir / "none.txt").string() + ": file not found\n");

    const CliResult badList = RunCli({"show", "--components", (dir / "none.txt").string(), script.string()});
    EXPECT_EQ(badList.status, 1);
}

TEST(ShowCommand, RejectsBadCommandLinesWithStatusTwo) {
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"show"},
             {"show", "a.txt", "b.txt"},
             {"show", "--type", "xml", "a.txt"},
             {"show", "--components", "c.txt", "--no-components", "a.txt"},
             {"show", "--colour", "a.txt"},
             {"frobnicate"},
             {}}) {
        const CliResult r = RunCli(arguments);
        EXPECT_EQ(r.status, 2) << (arguments.empty() ? "" : arguments.front());
        EXPECT_NE(r.err.find("Usage"), std::string::npos) << r.err;
    }
}

TEST(ShowCommand, UsesComponentsTxtBesideTheProgramByDefault) {
    const CliResult r = RunCli({"show", "--json", (ExamplesDir() / "house.wsc").string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("[\"1709\",\"0\",\"1\",\"20\",\"0\"]"), std::string::npos) << r.out;
}

TEST(ShowCommand, FindsComponentsTxtBesideTheProgramInAFolderNamedInAnyAlphabet) {
    // Greek, Cyrillic and Chinese, which no Windows ANSI code page holds together.
    TempDir dir;
    const std::filesystem::path folder =
        dir.path() / std::filesystem::path(u8"\u03A9 \u0434\u043E\u043C \u5BB6");
    std::filesystem::create_directory(folder);
    const std::filesystem::path built = KEELWRIGHT_CLI;
    CliLaunch copy;
    copy.program = folder / built.filename();
    std::filesystem::copy_file(built, *copy.program);
    // A list of the sign alone, unlike the examples' list beside the built program.
    const auto list = dir.write("Components.txt", CrLfLines({"ItemID", "0BD2 sign"}));
    std::filesystem::copy_file(list, folder / "Components.txt");
    const std::string house = PathText(ExamplesDir() / "house.wsc");

    const CliResult r = RunCli({"show", "--json", house}, copy);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "") << "no warning of a missing Components.txt";
    EXPECT_EQ(r.out, RunCli({"show", "--json", "--components", PathText(list), house}).out);
    EXPECT_NE(r.out, RunCli({"show", "--json", house}).out);
}

TEST(ShowCommand, ListsAndChoosesTheTemplatesOfAMultiText) {
    TempDir dir;
    const auto two = dir.write(
        "two.txt", CrLfLines({"6 version", "1 template id", "-1 item version", "1", "600 0 0 0", "6 version",
                              "4 template id", "-1 item version", "2", "601 0 0 0", "602 1 1 0"}));
    const auto csv = dir.write(
        "tiles.dat", CrLfLines({"TileID,OffsetX,OffsetY,OffsetZ,Flag,Cliloc", "0x0064,-3,2,0,0x1,"}));
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string out;  // the start of stdout, or of stderr for a status other than 0
    } rows[] = {
        {{"--list-designs", two.string()}, 0, "Template\tTiles\n1\t1\n4\t2\n"},
        {{"--list-designs", "--json", two.string()},
         0,
         "{\"entries\":[{\"category\":\"\",\"key\":\"1\",\"name\":\"\",\"subsection\":\"\",\"tiles\":\"1\"}"
         ","},
        {{two.string()},
         1,
         "keelwright-cli: error: " + two.string() +
             ": the file holds 2 templates, so one must be chosen: id 1 (1 tile), id 4 (2 tiles); choose "
             "one with --template ID\n"},
        {{"--template", "4", two.string()}, 0, "Components: 2\n"},
        {{"--design", "1", two.string()},
         1,
         "keelwright-cli: error: " + two.string() + ": multi text holds templates"},
        {{"--design", "1", "--template", "4", two.string()},
         2,
         "keelwright-cli show: --design and --template"},
        {{"--type", "csv", "--list-designs", csv.string()}, 0, "Multi\tTiles\n1\t1\n"},
        {{"--type", "csv", csv.string()}, 0, "Components: 1\n"},
        {{"--type", "xls", csv.string()},
         2,
         "keelwright-cli show: --type takes txt, wsc, uoa, uoalib or csv, not \"xls\""},
    };
    for (const auto& row : rows) {
        std::vector<std::string> arguments = {"show", "--no-components"};
        arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
        const CliResult r = RunCli(arguments);
        EXPECT_EQ(r.status, row.status) << r.err;
        EXPECT_EQ((row.status == 0 ? r.out : r.err).substr(0, row.out.size()), row.out);
    }
}

TEST(ShowCommand, ListsAndLoadsTheDesignsOfAUoArchitectLibrary) {
    const std::string tower = "Tower";
    const std::string keeps = "Keeps";
    const std::string fresh = "New Design";
    Library lib;
    lib.design(&tower, &keeps, {{0, 1701, 0, 0, 0, 0}, {1, 1702, 2, 0, 200, 5}, {1, 1703, 2, 2, 0, 5}})
        .design(&fresh, nullptr, {{0, 600, 0, 0, 0, 0}})
        .design(&fresh, nullptr, {{0, 601, 0, 0, 0, 0}, {0, 602, 1, 0, 0, 0}});
    TempDir dir;
    const auto index = dir.write("designs.IDX", lib.index());  // names in any letter case
    dir.write("DESIGNS.bin", lib.bin);
    std::filesystem::create_directory(dir / "alone");
    const auto lonely = dir.write("alone/Designs.idx", lib.index());
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string out;  // the start of stdout
        std::string err;  // the start of stderr
    } rows[] = {
        {{"--list-designs", index.string()},
         0,
         "Design\tTiles\tName\tCategory\tSubsection\n1\t3\tTower\tKeeps\tUnassigned\n2\t1\tNew "
         "Design\t\tUnassigned\n3\t2\tNew Design\t\tUnassigned\n",
         ""},
        {{"--design", "Tower", index.string()},
         0,
         "Components: 3\nMinX: -1  MaxX: 1  MinY: -1  MaxY: 1\n",
         "keelwright-cli: warning: 2 tiles have a hue, which client files cannot hold: the design loads "
         "without "
         "hues\nkeelwright-cli: warning: " +
             (dir / "DESIGNS.bin").string() + ": byte 24: tile 2 is at z 200"},
        {{"--design", "3", "--type", "uoalib", index.string()}, 0, "Components: 2\n", ""},
        {{"--design", "New Design", index.string()},
         1,
         "",
         "keelwright-cli: error: " + index.string() +
             ": 2 designs are named \"New Design\": choose one by "
             "position"},
        {{index.string()}, 1, "", "keelwright-cli: error: " + index.string() + ": the file holds 3 designs"},
        {{"--exact", "--design", "1", index.string()},
         1,
         "",
         "keelwright-cli: error: " + index.string() + ": an exact load reads the flags of each tile"},
        {{"--list-designs", lonely.string()},
         1,
         "",
         "keelwright-cli: error: " + lonely.string() + ": no Designs.bin beside it"},
        {{"--type", "txt", "--list-designs", (dir / "DESIGNS.bin").string()},
         1,
         "",
         "keelwright-cli: error: " + (dir / "DESIGNS.bin").string() + ": is a binary file, not multi text"},
    };
    for (const auto& row : rows) {
        std::vector<std::string> arguments = {"show"};
        if (row.arguments.front() != "--exact") {  // which takes no components list
            arguments.push_back("--no-components");
        }
        arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
        const CliResult r = RunCli(arguments);
        EXPECT_EQ(r.status, row.status) << r.err;
        EXPECT_EQ(r.out.substr(0, row.out.size()), row.out) << row.arguments.front();
        EXPECT_EQ(r.err.substr(0, row.err.size()), row.err) << row.arguments.front();
    }
}

TEST(ShowCommand, BothExampleScriptsLoadToTheSameMulti) {
    const CliResult wsc = RunCli({"show", "--json", (ExamplesDir() / "house.wsc").string()});
    const CliResult txt = RunCli({"show", "--json", (ExamplesDir() / "house.txt").string()});
    EXPECT_EQ(wsc.status, 0) << wsc.err;
    EXPECT_EQ(txt.out, wsc.out);
    EXPECT_NE(txt.out.find("\"count\":26"), std::string::npos);
}

}  // namespace
}  // namespace keelwright::test
