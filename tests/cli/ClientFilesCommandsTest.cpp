// keelwright-cli patch, extract and list, run as a black box on copies of the example client files.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "TestFiles.h"
#include "cli/CliTestSupport.h"
#include "cli/ClientFilesCopy.h"

namespace keelwright::test {
namespace {

class ClientFilesCommands : public ClientFilesCopy {
protected:
    std::string house() const { return (ExamplesDir() / "house.txt").string(); }
    // Replaces the 12 bytes of a slot of the copied index.
    void setSlot(int slot, std::string_view record) {
        std::string bytes = ReadAll(idx());
        bytes.replace(static_cast<std::size_t>(slot - 1) * 12, 12, record);
        WriteAll(idx(), bytes);
    }
    // Replaces the copies with those of the 16-byte example pair.
    void useSixteenBytePair() {
        for (const char* name : {"Multi.idx", "Multi.mul"}) {
            WriteAll(dir_ / name, ReadAll(ExamplesDir() / "client-hs" / name));
        }
    }
};

TEST_F(ClientFilesCommands, ReadAndWriteInTheRecordSizeOfTheFilesOrTheOneGiven) {
    const struct {
        const char* what;
        bool sixteen;  // on the 16-byte example pair
        std::vector<std::string> arguments;
        int status;
        std::string out;  // in stdout, or at the start of stderr for a status other than 0
    } rows[] = {
        {"list tells the size and how it was decided",
         false,
         {"list", "--json"},
         0,
         "\"recordSize\":12,\"recordSizeFrom\":\"lengths\","},
        {"the same in text",
         true,
         {"list"},
         0,
         "\nMulti.mul: 608 bytes in 16-byte records (from the lengths in Multi.idx); first free record 39\n"},
        {"a size given counts, even a wrong one",
         false,
         {"list", "--json", "--record-size", "16"},
         1,
         "keelwright-cli: error: the client files have 6 problems\n"},
        {"extract reads in the size given",
         true,
         {"extract", "--multi", "0", "--record-size", "12"},
         1,
         "keelwright-cli: error: the index entry of multi 0x0 (0) (slot 1) has Length 160, not a whole "
         "positive multiple of 12\n"},
        {"patch writes in the size of the files",
         true,
         {"patch", "--json", "--no-components", house()},
         0,
         "\"offset\":608,\"length\":432,\"firstFreeRecord\":39,\"recordSize\":16}"},
        {"a size that is neither",
         false,
         {"list", "--record-size", "14"},
         2,
         "keelwright-cli list: --record-size takes 12 or 16, not \"14\"\n"},
    };
    for (const auto& row : rows) {
        WriteAll(idx(), index_);
        WriteAll(mul(), data_);
        if (row.sixteen) {
            useSixteenBytePair();
        }
        std::vector<std::string> arguments = row.arguments;
        arguments.insert(arguments.begin() + 1, {"--idx", idx(), "--mul", mul()});
        const CliResult r = RunCli(arguments);
        EXPECT_EQ(r.status, row.status) << row.what << ": " << r.err;
        if (row.status == 0) {
            EXPECT_NE(r.out.find(row.out), std::string::npos) << row.what << ": " << r.out;
        } else {
            EXPECT_EQ(r.err.substr(0, row.out.size()), row.out) << row.what;
        }
    }
    const nlohmann::json forced = nlohmann::json::parse(
        RunCli({"list", "--json", "--record-size", "16", "--idx", idx(), "--mul", mul()}).out);
    EXPECT_EQ(forced["recordSize"], 16);
    EXPECT_EQ(forced["recordSizeFrom"], "option");
}

TEST_F(ClientFilesCommands, PatchExitsOneAndWritesNothingWhenTheLengthsFitNeitherSize) {
    setSlot(4, std::string("\x68\x01\x00\x00\x10\x00\x00\x00\xFF\xFF\xFF\xFF", 12));  // Length 16
    index_ = ReadAll(idx());
    const CliResult r = RunCli({"patch", "--no-components", "--idx", idx(), "--mul", mul(), house()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "keelwright-cli: error: " + idx() +
                  ": slot 4 (multi 3): Length 16 is a whole number of 16-byte records only, but slot 1 "
                  "(multi 0) holds 12-byte records only, so the record size of Multi.mul cannot be "
                  "decided\n");
    expectFilesUnchanged();
    EXPECT_EQ(
        RunCli({"patch", "--no-components", "--record-size", "12", "--idx", idx(), "--mul", mul(), house()})
            .status,
        0)
        << "a size given settles it";
}

TEST_F(ClientFilesCommands, ListReportsBytesThatNoSlotCoversWithoutCallingThemAProblem) {
    WriteAll(mul(), data_ + "KILLED!!!!!!");  // what a patch killed before its index entry leaves
    const CliResult json = RunCli({"list", "--json", "--idx", idx(), "--mul", mul()});
    EXPECT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(nlohmann::json::parse(json.out)["unindexedTailBytes"], 12);
    const CliResult text = RunCli({"list", "--idx", idx(), "--mul", mul()});
    EXPECT_NE(text.out.find("; first free record 40; its last 12 bytes lie in no slot's block\n"),
              std::string::npos)
        << text.out;
}

TEST_F(ClientFilesCommands, PatchWritesTheMultiIntoTheFirstFreeSlotAndReportsItAsJson) {
    const CliResult r =
        RunCli({"patch", "--no-components", "--json", "--idx", idx(), "--mul", mul(), house()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(
        r.out,
        "{\"slot\":5,\"multi\":4,\"item\":\"4004\",\"offset\":456,\"length\":324,\"firstFreeRecord\":39,"
        "\"recordSize\":12}\n");
    const std::string index = ReadAll(idx());
    EXPECT_EQ(index.substr(48, 12), std::string("\xC8\x01\x00\x00\x44\x01\x00\x00\xFF\xFF\xFF\xFF", 12));
    EXPECT_EQ(index.substr(0, 48) + index.substr(60), index_.substr(0, 48) + index_.substr(60));
    const std::string data = ReadAll(mul());
    ASSERT_EQ(data.size(), 456U + 324U);
    EXPECT_EQ(data.substr(0, 456), data_);

    const CliResult again = RunCli({"patch", "--no-components", "--idx", idx(), "--mul", mul(), house()});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.out,
              "Patched 26 components into slot 7 (multi 6, item 4006): offset 780, length 324, first free "
              "record 66\n");
}

TEST_F(ClientFilesCommands, PatchStopsWithStatusThreeAtAnIndexItCannotUse) {
    setSlot(2, std::string(12, '\0'));
    index_ = ReadAll(idx());
    const CliResult r = RunCli({"patch", "--no-components", "--idx", idx(), "--mul", mul(), house()});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "keelwright-cli: error: Multi.idx & Multi.mul files are not in the same folder as the keelwright. "
              "Multi.idx holds an empty record at slot 2 before any free slot.\n");
    expectFilesUnchanged();

    const std::string missing = (dir_ / "none" / "Multi.idx").string();
    const CliResult none = RunCli({"patch", "--no-components", "--idx", missing, "--mul", mul(), house()});
    EXPECT_EQ(none.status, 3);
    EXPECT_NE(none.err.find("keelwright. There is no Multi.idx at the path given.\n"), std::string::npos)
        << none.err;
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(ClientFilesCommands, PatchReportsAComponentThatDoesNotConvertAndWritesNothing) {
    const auto script = dir_.write("bad.txt", CrLfLines({"6 version", "1 template id", "-1 item version",
                                                         "2 num components", "1200 0 0 0", "12x 1 1 0"}));
    const CliResult r = RunCli({"patch", "--no-components", "--idx", idx(), "--mul", mul(), script.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "keelwright-cli: error: component 2: item id \"12x\" is not a number\n");
    expectFilesUnchanged();

    EXPECT_EQ(RunCli({"patch", "--no-components", "--mul", mul(), house()}).status, 2) << "no --idx";
}

TEST_F(ClientFilesCommands, ExtractWritesTheMultiTextToStdoutOrReplacesAFile) {
    const CliResult r = RunCli({"extract", "--idx", idx(), "--mul", mul(), "--multi", "3"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, CrLfLines({"6 version", "1 template id", "-1 item version", "1 num components",
                                "3026 0 0 0 1"}));

    const auto target = dir_.write("out.txt", std::string(5000, 'x'));
    const CliResult toFile =
        RunCli({"extract", "--idx", idx(), "--mul", mul(), "--multi", "0", "-o", target.string()});
    EXPECT_EQ(toFile.status, 0) << toFile.err;
    EXPECT_EQ(toFile.out, "");
    const std::string text = ReadAll(target);
    EXPECT_EQ(text.substr(0, 61),
              CrLfLines({"6 version", "1 template id", "-1 item version", "9 num components"}));
    EXPECT_EQ(text.substr(text.size() - 16), "\r\n1180 1 1 0 0\r\n");

    const CliResult shown = RunCli({"show", "--no-components", target.string()});
    EXPECT_EQ(shown.status, 0) << shown.err;
    EXPECT_NE(shown.out.find("Components: 9"), std::string::npos);
}

TEST_F(ClientFilesCommands, ExtractFailsOnOneLineAndWritesNothing) {
    struct Row {
        const char* multi;
        int status;
        std::string err;
    };
    const Row rows[] = {
        {"4", 1, "keelwright-cli: error: multi 0x4 (4) (slot 5) is a free slot: it holds no multi\n"},
        {"16", 1,
         "keelwright-cli: error: " + idx() +
             ": multi 0x10 (16) (slot 17) lies past the end of the index, which has 16 slots\n"},
        {"abc", 1, "keelwright-cli: error: multi number \"abc\" is not a whole number\n"},
        {"32767", 1, "keelwright-cli: error: multi number \"32767\" is outside 0 to 32766\n"},
    };
    const auto target = dir_ / "out.txt";
    for (const Row& row : rows) {
        const CliResult r =
            RunCli({"extract", "--idx", idx(), "--mul", mul(), "--multi", row.multi, "-o", target.string()});
        EXPECT_EQ(r.status, row.status) << row.multi;
        EXPECT_EQ(r.err, row.err);
        EXPECT_FALSE(std::filesystem::exists(target));
    }
    const std::string unwritable = (dir_ / "none" / "out.txt").string();
    const CliResult r = RunCli({"extract", "--idx", idx(), "--mul", mul(), "--multi", "0", "-o", unwritable});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("keelwright-cli: error: " + unwritable + ": cannot open for writing", 0), 0U)
        << r.err;
}

TEST_F(ClientFilesCommands, ExtractsInEveryFormatThatLoadsBackToTheSameMulti) {
    const auto extracted = [&](const std::string& format, const std::string& file) {
        const auto target = dir_ / file;
        const CliResult r = RunCli({"extract", "--idx", idx(), "--mul", mul(), "--multi", "0", "--format",
                                    format, "-o", target.string()});
        EXPECT_EQ(r.status, 0) << r.err;
        return target.string();
    };
    const std::string txt = extracted("txt", "m.txt");
    EXPECT_EQ(ReadAll(txt), RunCli({"extract", "--idx", idx(), "--mul", mul(), "--multi", "0"}).out);
    const CliResult expected = RunCli({"show", "--json", txt});
    EXPECT_NE(expected.out.find("\"count\":9"), std::string::npos) << expected.out;
    for (const auto& [format, file] :
         {std::pair{"csv", "m.csv"}, std::pair{"uoa", "m.uoa"}, std::pair{"wsc", "m.wsc"}}) {
        std::string shown = RunCli({"show", "--json", extracted(format, file)}).out;
        // The CSV's ids stay as written, in hex: 0x049C is 1180.
        for (std::size_t at = 0; (at = shown.find("\"0x049C\"", at)) != std::string::npos;) {
            shown.replace(at, 8, "\"1180\"");
        }
        EXPECT_EQ(shown, expected.out) << format;
    }
    const CliResult designs = RunCli({"show", "--list-designs", (dir_ / "m.uoa").string()});
    EXPECT_EQ(designs.out, "Design\tTiles\tName\tCategory\tSubsection\n1\t9\tmulti 0\t\t\n") << designs.err;
    const CliResult named = RunCli(
        {"extract", "--idx", idx(), "--mul", mul(), "--multi", "0", "--format", "csv", "--name", "Mill"});
    EXPECT_EQ(named.status, 2);
    EXPECT_EQ(named.err.find("--name names the design of a UO Architect file"), named.err.find("--name"));
}

TEST_F(ClientFilesCommands, ListShowsTheSlotsOfSoundFilesAsJson) {
    const CliResult r = RunCli({"list", "--json", "--idx", idx(), "--mul", mul()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(
        r.out,
        "{\"dataBytes\":456,\"deadBytes\":0,\"firstFreeRecord\":39,\"firstFreeSlot\":5,\"free\":11,"
        "\"indexBytes\":192,\"multis\":[{\"components\":9,\"item\":\"4000\",\"length\":120,\"multi\":0,\"offset\":0,\"slot\":1},"
        "{\"components\":10,\"item\":\"4001\",\"length\":132,\"multi\":1,\"offset\":120,\"slot\":2},"
        "{\"components\":8,\"item\":\"4002\",\"length\":108,\"multi\":2,\"offset\":252,\"slot\":3},"
        "{\"components\":1,\"item\":\"4003\",\"length\":24,\"multi\":3,\"offset\":360,\"slot\":4},"
        "{\"components\":5,\"item\":\"4005\",\"length\":72,\"multi\":5,\"offset\":384,\"slot\":6}],"
        "\"problems\":[],\"recordSize\":12,\"recordSizeFrom\":\"lengths\",\"slots\":16,\"sound\":true,"
        "\"unindexedTailBytes\":0,\"used\":5,\"zeroRecords\":0}\n");
    const CliResult text = RunCli({"list", "--idx", idx(), "--mul", mul()});
    EXPECT_EQ(text.status, 0);
    EXPECT_NE(text.out.find("first free slot 5 (multi 4, item 4004)"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("\n       6       5   4005         384          72           5\n"),
              std::string::npos);
}

TEST_F(ClientFilesCommands, ListReportsEveryProblemOfADamagedCopyWithoutChangingIt) {
    setSlot(2, std::string("\x78\x00\x00\x00\x82\x00\x00\x00\xFF\xFF\xFF\xFF", 12));  // Length 130
    setSlot(3, std::string(12, '\0'));  // a zero record before slot 5
    setSlot(6, std::string("\x00\x00\x00\x00\x48\x00\x00\x00\xFF\xFF\xFF\xFF", 12));  // over slot 1's block
    setSlot(7, std::string("\xB4\x01\x00\x00\x48\x00\x00\x00\xFF\xFF\xFF\xFF", 12));  // past the end
    index_ = ReadAll(idx());
    const CliResult r = RunCli({"list", "--idx", idx(), "--mul", mul()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "keelwright-cli: error: the client files have 4 problems\n");
    EXPECT_NE(
        r.out.find(
            "\n4 problems:\n"
            "  slot 2 (multi 1): Length 130 is not a whole positive multiple of 12\n"
            "  slot 3 (multi 2) is a zero record before the first free slot: a patch stops there\n"
            "  slot 6 (multi 5): its block (offset 0, length 72) overlaps the block of slot 1 (multi 0) "
            "(offset 0, length 120)\n"
            "  slot 7 (multi 6): its block (offset 436, length 72) reaches outside Multi.mul (456 bytes)\n"),
        std::string::npos)
        << r.out;
    expectFilesUnchanged();

    const CliResult json = RunCli({"list", "--json", "--idx", idx(), "--mul", mul()});
    EXPECT_EQ(json.status, 1);
    EXPECT_NE(json.out.find("{\"kind\":\"overlap\",\"message\":"), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"otherSlot\":1,\"slot\":6}"), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"sound\":false"), std::string::npos);

    EXPECT_EQ(RunCli({"list", "--idx", (dir_ / "none.idx").string(), "--mul", mul()}).status, 1);
}

}  // namespace
}  // namespace keelwright::test
