// keelwright-cli apply run as a black box on copies of the example client files: the plan as people and
// programs read it, the exit statuses, and nothing written by a dry run or a second apply.
#include <gtest/gtest.h>

#include <cstdlib>

#include <nlohmann/json.hpp>

#include "TestFiles.h"
#include "cli/CliTestSupport.h"

namespace keelwright::test {
namespace {

class ApplyCommand : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir_ / "client");
        for (const char* name : {"Multi.idx", "Multi.mul", "MultiCollection.uop"}) {
            std::filesystem::copy_file(ExamplesDir() / "client" / name, dir_ / "client" / name);
        }
        std::filesystem::copy_file(ExamplesDir() / "house.wsc", dir_ / "house.wsc");
        std::filesystem::copy_file(ExamplesDir() / "Components.txt", dir_ / "Components.txt");
    }
    std::string manifest(const std::string& entries) const {
        return dir_
            .write("shard.toml",
                   "[client]\nidx = \"client/Multi.idx\"\nmul = \"client/Multi.mul\"\n"
                   "uop = \"client/MultiCollection.uop\"\n\n[scripts]\nformat = \"x\"\n"
                   "output = \"multis.scp\"\ncomponents = \"Components.txt\"\n\n" +
                       entries)
            .string();
    }
    static constexpr const char* kClientFiles[] = {"client/Multi.idx", "client/Multi.mul",
                                                   "client/MultiCollection.uop"};
    std::vector<std::string> contents() const {
        std::vector<std::string> all;
        for (const char* name : kClientFiles) {
            all.push_back(ReadAll(dir_ / name));
        }
        return all;
    }

    TempDir dir_;
};

const std::string kHouses =
    "[[multi]]\nnumber = 0x6\nscript = \"house.wsc\"\nname = \"Small House\"\nbuy = 25000\nsell = 12500\n\n"
    "[[multi]]\nnumber = 0x7\nscript = \"house.wsc\"\nname = \"Big House\"\nbuy = 1\nsell = 1\n\n"
    "[[multi]]\nnumber = 0x8\nremove = true\n";

TEST_F(ApplyCommand, PrintsThePlanThenAppliesItOnceAndAfterwardsFindsNoChanges) {
    const std::string path = manifest(kHouses);
    const std::vector<std::string> before = contents();
    const std::string plan = "+ 0x6 Small House: 26 tiles\n+ 0x7 Big House: 26 tiles\n= 0x8\n";
    CliResult r = RunCli({"apply", "--dry-run", path});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, plan +
                         "Would apply: 2 added, 0 replaced, 0 removed, 1 unchanged.\n"
                         "Would write the scripts to " +
                         (dir_ / "multis.scp").string() + ".\n");
    EXPECT_EQ(contents(), before);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "shard.toml.lock"));

    r = RunCli({"apply", "--wait", "2", path});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find("Wrote")),
              plan + "Applied: 2 added, 0 replaced, 0 removed, 1 unchanged.\n");
    const std::string scripts = ReadAll(dir_ / "multis.scp");
    EXPECT_NE(scripts.find("[MULTIDEF 06]\r\n"), std::string::npos);
    EXPECT_NE(scripts.find("[MULTIDEF 07]\r\n"), std::string::npos);

    const auto time = std::filesystem::last_write_time(dir_ / "multis.scp");
    r = RunCli({"apply", "--json", path});
    EXPECT_EQ(r.status, 0) << r.err;
    const nlohmann::json json = nlohmann::json::parse(r.out);
    EXPECT_EQ(json["outcome"], "no-changes");
    EXPECT_EQ(json["unchanged"], 3);
    EXPECT_EQ(json["multis"][0]["hex"], "0x6");
    EXPECT_EQ(json["multis"][0]["line"], 11);
    EXPECT_EQ(json["multis"][2]["name"], nullptr);
    EXPECT_EQ(std::filesystem::last_write_time(dir_ / "multis.scp"), time);
    EXPECT_EQ(RunCli({"apply", path}).out, "= 0x6 Small House\n= 0x7 Big House\n= 0x8\nNo changes.\n");
}

TEST_F(ApplyCommand, RefusesAClientsMultiAndNamesTheManifestLineOfEveryError) {
    const std::vector<std::string> before = contents();
    CliResult r = RunCli({"apply", manifest(kHouses + "\n[[multi]]\nnumber = 5\nremove = true\n")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("! 0x5: multi 0x5 holds 5 tiles that this manifest did not write (a multi of the "
                         "client's own?): set replace = true in its entry to remove it\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.err, "keelwright-cli: error: the plan is refused (1 of 4 entries); nothing was written\n");
    EXPECT_EQ(contents(), before);

    dir_.write("bad.txt", "6 version\n1 template id\n-1 item version\n1 num components\n1 x 2 3\n");
    const std::string bad =
        manifest("[[multi]]\nnumber = 9\nscript = \"bad.txt\"\nname = \"Bad\"\nbuy = 1\nsell = 1\n");
    r = RunCli({"apply", bad});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(
        r.err.rfind(
            "keelwright-cli: error: " + bad + ":11: multi 0x9: " + (dir_ / "bad.txt").string() + ":5: ", 0),
        0U)
        << r.err;
    dir_.write("two.txt",
               "6 version\n1 template id\n-1 item version\n1 num components\n1 0 0 0 0\n"
               "6 version\n2 template id\n-1 item version\n1 num components\n2 0 0 0 0\n");
    r = RunCli({"apply", manifest("[[multi]]\nnumber = 9\nscript = \"two.txt\"\nname = \"T\"\nbuy = 1\n"
                                  "sell = 1\n")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(":11: multi 0x9: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("; choose one with template = ID\n"), std::string::npos) << r.err;
    r = RunCli({"apply", manifest("[[multi]]\nnumber = 16\nremove = true\n")});
    EXPECT_EQ(r.err, "keelwright-cli: error: " + bad + ":12: [[multi]] number: 0x10 has no slot in " +
                         (dir_ / "client/Multi.idx").string() + ", which holds multis 0x0 to 0xF\n");
    r = RunCli({"apply", dir_.write("out.toml",
                                    "[client]\nuop = \"client/MultiCollection.uop\"\n[scripts]\n"
                                    "format = \"x\"\noutput = \"house.wsc\"\n[[multi]]\nnumber = 9\n"
                                    "script = \"house.wsc\"\nname = \"A\"\nbuy = 1\nsell = 1\n")
                             .string()});
    EXPECT_NE(r.err.find("[scripts] output: names " + (dir_ / "house.wsc").string() + ", which apply reads"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(RunCli({"apply", "--wait", "soon", bad}).status, 2);
    EXPECT_EQ(contents(), before);
}

// The components list beside the program and the lock file of a manifest not yet applied are inputs as
// much as the files named: writing scripts over them would spoil every later run.
TEST_F(ApplyCommand, EveryCommandRefusesToWriteItsScriptsOverAFileItReads) {
    const std::filesystem::path bin = dir_ / "bin";
    std::filesystem::create_directory(bin);
    CliLaunch copy;
    copy.program = bin / std::filesystem::path(KEELWRIGHT_CLI).filename();
    std::filesystem::copy_file(KEELWRIGHT_CLI, *copy.program);
    std::filesystem::copy_file(dir_ / "Components.txt", bin / "Components.txt");
    const std::string implicit = (bin / "Components.txt").string();
    const std::string house = (dir_ / "house.wsc").string();
    const std::vector<std::string> scripts = {"--format", "54", "--name", "A", "--buy", "1", "--sell", "1"};
    const auto with = [&](std::vector<std::string> arguments, const std::vector<std::string>& more) {
        arguments.insert(arguments.end(), more.begin(), more.end());
        return arguments;
    };
    const auto applied = [&](const std::string& manifest, const std::string& output) {
        return dir_
            .write(manifest,
                   "[client]\nuop = \"client/MultiCollection.uop\"\n[scripts]\nformat = \"x\"\n"
                   "output = '" +
                       output +
                       "'\n[[multi]]\nnumber = 9\nscript = \"house.wsc\"\n"
                       "name = \"A\"\nbuy = 1\nsell = 1\n")
            .string();
    };
    const struct {
        const char* what;
        std::vector<std::string> arguments;
        int status;
        const char* names;  // the end of the file named in the error
    } rows[] = {
        {"scripts over the list beside the program", with({"scripts", house, "-o", implicit}, scripts), 2,
         "Components.txt, which"},
        {"scripts over the list named",
         with({"scripts", "--components", implicit, house, "-o", implicit}, scripts), 2,
         "Components.txt, which"},
        {"patch over the list beside the program",
         with({"patch", "--uop", (dir_ / "client/MultiCollection.uop").string(), house, "-o", implicit},
              scripts),
         2, "Components.txt, which"},
        {"apply over the list beside the program",
         {"apply", applied("a.toml", implicit)},
         1,
         "Components.txt, which"},
        {"apply over its lock file, not there yet",
         {"apply", applied("new.toml", "new.toml.lock")},
         1,
         "new.toml.lock, which"},
    };
    const std::vector<std::string> before = contents();
    for (const auto& row : rows) {
        const CliResult r = RunCli(row.arguments, copy);
        EXPECT_EQ(r.status, row.status) << row.what << ": " << r.err;
        EXPECT_NE(r.err.find(row.names), std::string::npos) << row.what << ": " << r.err;
        EXPECT_EQ(ReadAll(bin / "Components.txt"), ReadAll(dir_ / "Components.txt")) << row.what;
        EXPECT_FALSE(std::filesystem::exists(dir_ / "new.toml.lock")) << row.what;
        EXPECT_FALSE(std::filesystem::exists(dir_ / "a.toml.lock")) << row.what;
        EXPECT_EQ(contents(), before) << row.what;
    }
}

// A variable of this process's environment while it lives; the programs it starts inherit it.
class EnvironmentVariable {
public:
    EnvironmentVariable(const char* name, const char* value) : name_(name) { set(value); }
    ~EnvironmentVariable() { set(nullptr); }
    EnvironmentVariable(const EnvironmentVariable&) = delete;
    EnvironmentVariable& operator=(const EnvironmentVariable&) = delete;

private:
    void set(const char* value) {
#ifdef _WIN32
        _putenv_s(name_, value == nullptr ? "" : value);
#else
        value == nullptr ? unsetenv(name_) : setenv(name_, value, 1);
#endif
    }
    const char* name_;
};

TEST_F(ApplyCommand, OneManifestAppliedTwiceToTheSameClientGivesTheSameBytesUnderSourceDateEpoch) {
    const EnvironmentVariable epoch("SOURCE_DATE_EPOCH", "1700000000");
    const std::string path = manifest(kHouses);
    const std::vector<std::string> before = contents();
    std::vector<std::string> runs[2];
    for (std::vector<std::string>& run : runs) {
        for (std::size_t k = 0; k < before.size(); ++k) {
            WriteAll(dir_ / kClientFiles[k], before[k]);
        }
        std::filesystem::remove(dir_ / "shard.toml.lock");
        const CliResult r = RunCli({"apply", path});
        ASSERT_EQ(r.status, 0) << r.err;
        run = contents();
        run.push_back(ReadAll(dir_ / "shard.toml.lock"));
    }
    EXPECT_EQ(runs[0], runs[1]);
    std::string stamp(8, '\0');
    for (int i = 0; i < 8; ++i) {
        stamp[static_cast<std::size_t>(i)] = static_cast<char>((133444736000000000ULL >> (8 * i)) & 0xFF);
    }
    EXPECT_NE(runs[0][2].find(stamp), std::string::npos) << "the entries carry 2023-11-14 22:13:20 UTC";
}

#ifndef _WIN32
// The disk fills up (here: a file-size limit) when the scripts are written, after the client files.
TEST_F(ApplyCommand, SaysItWroteTheScriptsOnlyWhenItDid) {
    // Scripts of every tile: 2026 bytes, where Multi.mul grows to 1104.
    const std::string path = manifest("scripts-only = true\n" + kHouses);
    const CliResult r = RunCliWithFileSizeLimit({"apply", path}, 1500);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.out.find("Applied: 2 added"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("Wrote the scripts"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("the client files were applied, but "), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir_ / "multis.scp"));
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
        EXPECT_EQ(entry.path().filename().string().find(".keelwright-"), std::string::npos)
            << entry.path() << ": a temporary file is left behind";
    }
}
#endif

TEST_F(ApplyCommand, WritesTheClientFilesOfAnotherFolderWhateverTheirCaseWithTheSameLockFile) {
    const std::string path = manifest(kHouses);
    std::filesystem::create_directories(dir_ / "players");
    const char* names[][2] = {{"Multi.idx", "MULTI.IDX"},
                              {"Multi.mul", "multi.mul"},
                              {"MultiCollection.uop", "MultiCollection.UOP"}};
    for (const auto& [from, to] : names) {
        std::filesystem::copy_file(ExamplesDir() / "client" / from, dir_ / "players" / to);
    }
    const std::vector<std::string> before = contents();
    CliResult r = RunCli({"apply", "--client", (dir_ / "players").string(), path});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(
        r.out.rfind("+ 0x6 Small House: 26 tiles\n+ 0x7 Big House: 26 tiles\n= 0x8\nApplied: 2 added", 0), 0U)
        << r.out;
    EXPECT_EQ(contents(), before) << "the files [client] names stay as they were";
    EXPECT_NE(ReadAll(dir_ / "players" / "MULTI.IDX"), before[0]);
    EXPECT_TRUE(std::filesystem::exists(dir_ / "shard.toml.lock"));
    r = RunCli({"apply", "--dry-run", "--client", (dir_ / "players").string(), path});
    EXPECT_EQ(r.out.rfind("= 0x6 Small House\n= 0x7 Big House\n= 0x8\n", 0), 0U) << r.out;

    std::filesystem::remove(dir_ / "players" / "multi.mul");
    r = RunCli({"apply", "--client", (dir_ / "players").string(), path});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("holds Multi.idx without Multi.mul"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace keelwright::test
