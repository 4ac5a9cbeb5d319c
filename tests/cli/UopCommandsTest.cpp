// keelwright-cli patch, extract and list with MultiCollection.uop, run as a black box on copies of the
// example client files: one multi number for every file.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "TestFiles.h"
#include "cli/CliTestSupport.h"
#include "mulfiles/NativeFileSystem.h"
#include "uop/UopMultis.h"
#include "uop/UopWriter.h"

namespace keelwright::test {
namespace {

class UopCommands : public ::testing::Test {
protected:
    // Copies Multi.idx and Multi.mul of the example folder, and the example MultiCollection.uop.
    void copyExamples(const char* folder) {
        for (const char* name : {"Multi.idx", "Multi.mul"}) {
            std::filesystem::copy_file(ExamplesDir() / folder / name, dir_ / name,
                                       std::filesystem::copy_options::overwrite_existing);
        }
        std::filesystem::copy_file(ExamplesDir() / "client" / "MultiCollection.uop",
                                   dir_ / "MultiCollection.uop",
                                   std::filesystem::copy_options::overwrite_existing);
    }
    void SetUp() override { copyExamples("client"); }

    std::string idx() const { return (dir_ / "Multi.idx").string(); }
    std::string mul() const { return (dir_ / "Multi.mul").string(); }
    std::string uop() const { return (dir_ / "MultiCollection.uop").string(); }
    static std::string house() { return (ExamplesDir() / "house.wsc").string(); }
    std::vector<std::string> contents() const { return {ReadAll(idx()), ReadAll(mul()), ReadAll(uop())}; }

    // The multi text of multi M from one source: the index pair or the UOP.
    std::string extracted(const std::vector<std::string>& source, int multi) const {
        std::vector<std::string> arguments = {"extract", "--multi", std::to_string(multi)};
        arguments.insert(arguments.end(), source.begin(), source.end());
        const CliResult r = RunCli(arguments);
        EXPECT_EQ(r.status, 0) << r.err;
        return r.out;
    }

    TempDir dir_;
};

TEST_F(UopCommands, APatchIntoEveryFileExtractsIdenticallyFromBothSourcesUnderOneNumber) {
    const CliResult shown = RunCli({"show", "--no-components", house()});
    ASSERT_EQ(shown.status, 0) << shown.err;
    for (const auto& [folder, recordSize] : {std::pair("client", 12), std::pair("client-hs", 16)}) {
        copyExamples(folder);
        const CliResult r = RunCli(
            {"patch", "--no-components", "--json", "--idx", idx(), "--mul", mul(), "--uop", uop(), house()});
        ASSERT_EQ(r.status, 0) << folder << ": " << r.err;
        EXPECT_EQ(r.err, "");
        const nlohmann::json result = nlohmann::json::parse(r.out);
        // Slot 5 is the first free one, and the UOP holds multis 0 to 3 and 5.
        EXPECT_EQ(result["slot"], 5) << folder;
        EXPECT_EQ(result["multi"], 4);
        EXPECT_EQ(result["recordSize"], recordSize);
        EXPECT_EQ(result["length"], 27 * recordSize);  // the lead record and 26 tiles
        EXPECT_EQ(result["uop"]["multi"], 4);
        EXPECT_EQ(result["uop"]["name"], "build/multicollection/000004.bin");
        EXPECT_EQ(result["uop"]["length"], 8 + 27 * 14);  // the number, the count, 27 tiles of 14 bytes
        EXPECT_GT(result["uop"]["storedLength"], 0);

        const std::string fromMul = extracted({"--idx", idx(), "--mul", mul()}, 4);
        EXPECT_EQ(extracted({"--uop", uop()}, 4), fromMul) << folder;
        EXPECT_EQ(fromMul.rfind("6 version\r\n1 template id\r\n-1 item version\r\n26 num components\r\n", 0),
                  0U);
        const auto text = dir_.write("house.txt", fromMul);
        const CliResult again = RunCli({"show", "--no-components", text.string()});
        EXPECT_EQ(again.out, shown.out) << folder << ": the patched multi is the house";
    }
    const CliResult listed = RunCli({"list", "--json", "--uop", uop()});
    EXPECT_EQ(listed.status, 0) << listed.err;
    const nlohmann::json multis = nlohmann::json::parse(listed.out)["multis"];
    ASSERT_EQ(multis.size(), 6U);
    EXPECT_EQ(multis[4], (nlohmann::json{{"components", 26},
                                         {"length", 8 + 27 * 14},
                                         {"multi", 4},
                                         {"storedLength", multis[4]["storedLength"]},
                                         {"tiles", 27}}));
}

TEST_F(UopCommands, APatchIntoTheUopAloneTakesItsFirstNumberWithoutAnEntry) {
    const std::string index = ReadAll(idx());
    const std::string data = ReadAll(mul());
    const CliResult r = RunCli({"patch", "--no-components", "--uop", uop(), house()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("Patched 26 components into MultiCollection.uop as multi 4 "
                          "(build/multicollection/000004.bin, item 4004): stored length ",
                          0),
              0U)
        << r.out;
    const CliResult again = RunCli({"patch", "--no-components", "--json", "--uop", uop(), house()});
    EXPECT_EQ(again.status, 0) << again.err;
    const nlohmann::json result = nlohmann::json::parse(again.out);
    EXPECT_EQ(result["multi"], 6) << "4 is taken now, and 5 was";
    EXPECT_EQ(result["item"], "4006");
    EXPECT_FALSE(result.contains("slot"));
    EXPECT_EQ(result["uop"]["name"], "build/multicollection/000006.bin");
    EXPECT_EQ(extracted({"--uop", uop()}, 6), extracted({"--uop", uop()}, 4));
    EXPECT_EQ(ReadAll(idx()), index);
    EXPECT_EQ(ReadAll(mul()), data);
}

TEST_F(UopCommands, WarnsThatSphereCannotUseAMultiNumberAbove8190) {
    // Slots 1 to 8191 in use, all pointing at the first block: the first free slot holds multi 8191.
    std::string index;
    for (int slot = 1; slot <= 8192; ++slot) {
        index += slot <= 8191 ? ReadAll(idx()).substr(0, 12) : std::string(12, '\xFF');
    }
    WriteAll(idx(), index);
    const CliResult r = RunCli(
        {"patch", "--no-components", "--json", "--idx", idx(), "--mul", mul(), "--uop", uop(), house()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err,
              "keelwright-cli: warning: multi 0x1FFF (8191) is above 8190 (1FFE): Sphere cannot use it\n");
    EXPECT_EQ(nlohmann::json::parse(r.out)["uop"]["name"], "build/multicollection/008191.bin");
    EXPECT_EQ(extracted({"--uop", uop()}, 8191), extracted({"--idx", idx(), "--mul", mul()}, 8191));
}

TEST_F(UopCommands, WarnsWhenTheFilesAlreadyHoldTheMultiAndPatchesItAgain) {
    const struct {
        std::vector<std::string> files;
        const char* warning;  // on the second patch
    } rows[] = {
        {{"--idx", idx(), "--mul", mul(), "--uop", uop()},
         "keelwright-cli: warning: the multi was already multi 0x4 (4) (slot 5) of these files; it is now in them "
         "again as multi 0x6 (6)\n"},
        {{"--uop", uop()},
         "keelwright-cli: warning: the multi was already multi 0x4 (4) (slot 5) of these files; it is now in them "
         "again as multi 0x6 (6)\n"},
    };
    for (const auto& row : rows) {
        copyExamples("client");
        std::vector<std::string> arguments = {"patch", "--no-components"};
        arguments.insert(arguments.end(), row.files.begin(), row.files.end());
        arguments.push_back(house());
        const CliResult first = RunCli(arguments);
        ASSERT_EQ(first.status, 0) << first.err;
        EXPECT_EQ(first.err, "");
        const CliResult second = RunCli(arguments);
        EXPECT_EQ(second.status, 0) << second.err;
        EXPECT_EQ(second.err, row.warning);
    }
}

TEST_F(UopCommands, RefusesWhatItCannotUseAndWritesNothing) {
    const std::string notUop = dir_.write("Other.uop", ReadAll(mul())).string();
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string err;  // the start of stderr
    } rows[] = {
        {{"patch", "--uop", notUop, house()}, 1, "keelwright-cli: error: " + notUop + ": is not a UOP file"},
        {{"patch", "--idx", idx(), "--mul", mul(), "--uop", mul(), house()},
         1,
         "keelwright-cli: error: " + mul() + ": MultiCollection.uop and Multi.mul name the same file"},
        {{"patch", "--uop", uop(), "--record-size", "12", house()},
         2,
         "keelwright-cli patch: --record-size is the size of the records of Multi.mul: it needs --idx and "
         "--mul\n"},
        {{"patch", "--uop=", house()}, 2, "keelwright-cli patch: --uop needs a file name\n"},
        {{"patch", "--idx", idx(), "--uop", uop(), house()}, 2, "keelwright-cli patch: --mul is required\n"},
        {{"extract", "--uop", uop(), "--idx", idx(), "--multi", "1"},
         2,
         "keelwright-cli extract: --uop and --idx/--mul exclude each other: extract reads one source\n"},
        {{"extract", "--uop", uop(), "--multi", "4"},
         1,
         "keelwright-cli: error: " + uop() +
             ": has no entry for multi 4 (build/multicollection/000004.bin)\n"},
        {{"extract", "--uop", uop(), "--multi", "1000000"},
         1,
         "keelwright-cli: error: multi number \"1000000\" is outside 0 to 999999\n"},
        {{"list", "--uop", uop(), "--mul", mul()},
         2,
         "keelwright-cli list: --uop and --idx/--mul exclude each other: list one source at a time\n"},
    };
    const std::vector<std::string> before = contents();
    for (const auto& row : rows) {
        std::vector<std::string> arguments = row.arguments;
        arguments.insert(arguments.begin() + 1, "--no-components");
        if (arguments[0] != "patch") {
            arguments.erase(arguments.begin() + 1);
        }
        const CliResult r = RunCli(arguments);
        EXPECT_EQ(r.status, row.status) << row.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.substr(0, row.err.size()), row.err);
        EXPECT_EQ(contents(), before) << row.err;
    }
}

TEST_F(UopCommands, KeepAMultiAtItsNumberThroughRefusalsReplacementsAnExactCopyAndRemoval) {
    const std::vector<std::string> all = {"--idx", idx(), "--mul", mul(), "--uop", uop()};
    const auto with = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin() + 1, all.begin(), all.end());
        return arguments;
    };
    const std::string exact = (dir_ / "exact.txt").string();
    const std::string holds =
        "Multi.idx slot 0x3 holds multi 0x2 (2) (8 tiles); MultiCollection.uop holds multi "
        "0x2 (2) (8 tiles)";
    const std::string original = extracted({"--idx", idx(), "--mul", mul(), "--exact"}, 1);
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string says;  // found in stdout or stderr
    } rows[] = {
        {with({"patch", "--no-components", "--multi", "0x2", house()}), 1,
         "keelwright-cli: error: multi 0x2 (2) is taken: " + holds + "; nothing was written\n"},
        {with({"patch", "--no-components", "--multi", "16", "--replace", house()}), 1,
         "needs slot 17, but the index has 16 slots"},
        {with({"patch", "--no-components", "--replace", house()}), 2, "--replace needs --multi"},
        {with({"patch", "--exact", "--no-components", house()}), 2, "--exact applies no components list"},
        {with({"patch", "--no-components", "--multi", "2", "--replace", house()}), 0,
         "Replaced multi 0x2 (2): " + holds + "\nPatched 26 components into slot 3 (multi 2, item 4002)"},
        {{"extract", "--idx", idx(), "--mul", mul(), "--multi", "0x1", "--exact", "-o", exact}, 0, ""},
        {with({"patch", "--exact", "--multi", "1", "--replace", exact}), 0, "Replaced multi 0x1 (1)"},
        {with({"remove", "--multi", "0x2"}), 0,
         "Removed multi 0x2 (2): Multi.idx slot 0x3 holds multi 0x2 (2) (26 tiles); MultiCollection.uop "
         "holds "
         "multi 0x2 (2) (26 tiles)\n"},
        {with({"remove", "--multi", "2"}), 1,
         "keelwright-cli: error: none of the files given holds multi 0x2 (2); nothing was removed\n"},
        {{"remove", "--uop", uop(), "--multi", "5", "--json"},
         0,
         R"({"multi":5,"item":"4005","uop":{"name":"build/multicollection/000005.bin","position":)"},
    };
    for (const auto& row : rows) {
        const CliResult r = RunCli(row.arguments);
        EXPECT_EQ(r.status, row.status) << row.says << r.err;
        EXPECT_NE((r.out + r.err).find(row.says), std::string::npos) << r.out << r.err;
    }
    EXPECT_EQ(extracted({"--idx", idx(), "--mul", mul(), "--exact"}, 1), original) << "the same block bytes";
    const nlohmann::json mulList =
        nlohmann::json::parse(RunCli({"list", "--json", "--idx", idx(), "--mul", mul()}).out);
    EXPECT_EQ(mulList["deadBytes"], 108 + 132 + 27 * 12) << "the blocks of 2, of 1, and of the removed 2";
    const CliResult uopList = RunCli({"list", "--uop", uop()});
    EXPECT_NE(uopList.out.find(" cleared; housing.bin present; "), std::string::npos) << uopList.out;
    EXPECT_NE(uopList.out.find(" dead (in no entry)"), std::string::npos) << uopList.out;
}

TEST_F(UopCommands, AnExactCopyKeepsThePartIdsOfTheUopTiles) {
    NativeFileSystem fileSystem;
    const std::vector<UopTile> tiles = {
        {16050, 1, 0, 0, 1, {119404, 119405}}, {100, -3, 2, 5, 0, {}}, {7, 0, -1, 0, 1, {42}}};
    AddUopEntry(fileSystem, uop(), NewMultiEntry(7, tiles, 0));
    const std::vector<std::uint8_t> before = ReadUopMulti(fileSystem, uop(), 7).payload.encode();
    const std::string exact = (dir_ / "exact.txt").string();
    const CliResult extract = RunCli({"extract", "--uop", uop(), "--multi", "7", "--exact", "-o", exact});
    ASSERT_EQ(extract.status, 0) << extract.err;
    EXPECT_NE(ReadAll(exact).find("16050 1 0 0 0 119404 119405\r\n"), std::string::npos) << ReadAll(exact);

    const CliResult same = RunCli({"patch", "--exact", "--uop", uop(), "--multi", "7", "--replace", exact});
    ASSERT_EQ(same.status, 0) << same.err;
    EXPECT_EQ(same.err, "");
    EXPECT_EQ(ReadUopMulti(fileSystem, uop(), 7).payload.encode(), before)
        << "the same payload, byte for byte";

    // Multi.mul has no place for them: one warning counts them, and the UOP copy still holds them.
    const CliResult both =
        RunCli({"patch", "--exact", "--idx", idx(), "--mul", mul(), "--uop", uop(), exact});
    ASSERT_EQ(both.status, 0) << both.err;
    EXPECT_EQ(both.err,
              "keelwright-cli: warning: " + mul() +
                  " has no place for part ids: the 3 part ids of the multi's tiles were left out of it\n");
    EXPECT_EQ(ReadUopMulti(fileSystem, uop(), 4).payload.tiles, tiles);

    const std::string csv = extracted({"--uop", uop(), "--format", "csv"}, 7);
    EXPECT_NE(csv.find("\r\n0x3EB2,1,0,0,0x0,119404 119405\r\n0x0064,-3,2,5,0x1,\r\n"),
              std::string::npos)
        << csv;
}

TEST_F(UopCommands, ListTellsWhatTheUopHoldsAndItsProblems) {
    const CliResult text = RunCli({"list", "--uop", uop()});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out.substr(0, text.out.find('\n')),
              "MultiCollection.uop: " + std::to_string(ReadAll(uop()).size()) +
                  " bytes, version 4; 2 table blocks of 4 entries; 6 entries in use (the header counts 6); "
                  "housing.bin present");
    EXPECT_NE(text.out.find("\n       3       2           1"), std::string::npos)
        << "multi 3: the lead and a sign post";
    EXPECT_NE(text.out.find("\nNo problems found.\n"), std::string::npos);

    const CliResult json = RunCli({"list", "--json", "--uop", uop()});
    EXPECT_EQ(json.status, 0) << json.err;
    const nlohmann::json listed = nlohmann::json::parse(json.out);
    EXPECT_EQ(listed["version"], 4);
    EXPECT_EQ(listed["capacity"], 4);
    EXPECT_EQ(listed["blocks"], 2);
    EXPECT_EQ(listed["entries"], 6);
    EXPECT_EQ(listed["housingBin"], true);
    std::vector<int> numbers, components;
    for (const auto& multi : listed["multis"]) {
        numbers.push_back(multi["multi"]);
        components.push_back(multi["components"]);
        EXPECT_EQ(multi["tiles"], multi["components"].get<int>() + 1) << "each begins with the lead record";
    }
    EXPECT_EQ(numbers, (std::vector<int>{0, 1, 2, 3, 5}));
    EXPECT_EQ(components, (std::vector<int>{9, 10, 8, 1, 5})) << "as list counts them in Multi.mul";
    EXPECT_EQ(json.out.find('\n'), json.out.size() - 1) << "one line";

    std::string damaged = ReadAll(uop());
    damaged[4] = 5;  // the version
    WriteAll(uop(), damaged);
    const CliResult bad = RunCli({"list", "--json", "--uop", uop()});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err, "keelwright-cli: error: MultiCollection.uop has 1 problem\n");
    const nlohmann::json problem = nlohmann::json::parse(bad.out)["problems"][0];
    EXPECT_EQ(problem["kind"], "bad-version");
    EXPECT_EQ(problem["position"], 0);
    EXPECT_EQ(RunCli({"list", "--uop", (dir_ / "none.uop").string()}).status, 1);
}

}  // namespace
}  // namespace keelwright::test
