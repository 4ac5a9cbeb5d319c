// keelwright-cli under conditions its users run into by accident: a file-size limit, an output file that
// is one of its inputs, a FIFO where a file belongs, a standard output that cannot be written. Windows has
// no file-size limit, no FIFO in a folder and no /dev/full, so those tests are POSIX only.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "TestFiles.h"
#include "cli/CliTestSupport.h"
#include "cli/ClientFilesCopy.h"

namespace keelwright::test {
namespace {

class HostileConditions : public ClientFilesCopy {
protected:
    static std::string house() { return (ExamplesDir() / "house.txt").string(); }
};

#ifndef _WIN32
std::size_t lineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST_F(HostileConditions, APatchStoppedByAFileSizeLimitPutsBothFilesBack) {
    // 20,000 components make a block of 240,012 bytes, far past the limit.
    std::vector<std::string> lines = {"6 version", "1 template id", "-1 item version",
                                      "20000 num components"};
    for (int i = 0; i < 20000; ++i) {
        lines.push_back("1200 " + std::to_string(i % 100) + " " + std::to_string(i / 100) + " 0 1");
    }
    const auto big = dir_.write("big.txt", CrLfLines(lines));
    const CliResult r = RunCliWithFileSizeLimit(
        {"patch", "--no-components", "--idx", idx(), "--mul", mul(), big.string()}, 65536);
    EXPECT_EQ(r.status, 1) << "ended by a signal instead of failing";
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("keelwright-cli: error: " + mul() + ": ", 0), 0U) << r.err;
    EXPECT_EQ(lineCount(r.err), 1U) << r.err;
    expectFilesUnchanged();
}
#endif

// A clone without Git LFS leaves text pointers; an empty or foreign Multi.mul beside a real index would take
// a block over bytes the index gives to other slots, and one that is not whole records (art.mul) would have
// its last bytes overwritten.
TEST_F(HostileConditions, APatchRefusesAMultiMulThatIsNotItsIndexsAndWritesNothing) {
    const std::string pointer =
        "version https://git-lfs.github.com/spec/v1\noid sha256:" + std::string(64, 'a') + "\nsize 456\n";
    const std::string belong = "): this Multi.mul does not belong to this Multi.idx";
    const struct {
        std::string mul;
        std::string error;
    } rows[] = {
        {"",
         "Multi.mul is 0 bytes, but 5 slots of Multi.idx point past its end (slot 1: offset 0, length 120" +
             belong},
        {std::string(131, '\0'),
         "Multi.mul is 131 bytes, but 4 slots of Multi.idx point past its end (slot 2: offset 120, length "
         "132" +
             belong},
        {data_.substr(0, 300),
         "Multi.mul is 300 bytes, but 3 slots of Multi.idx point past its end (slot 3: offset 252, length "
         "108" +
             belong},
        {pointer, "is a Git LFS pointer, not the file itself (fetch it with git lfs pull)"},
        {ReadAll(ExamplesDir() / "art" / "art.mul"),
         "Multi.mul is 45460 bytes, 4 bytes past the last whole 12-byte record: it is not a Multi.mul, or it "
         "is damaged; nothing was written"},
    };
    for (const auto& row : rows) {
        WriteAll(mul(), row.mul);
        const CliResult r = RunCli({"patch", "--no-components", "--idx", idx(), "--mul", mul(), house()});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "keelwright-cli: error: " + mul() + ": " + row.error + "\n");
        EXPECT_EQ(ReadAll(idx()), index_);
        EXPECT_EQ(ReadAll(mul()), row.mul);
    }
}

TEST_F(HostileConditions, ExtractRefusesAnOutputFileThatIsOneOfItsInputs) {
    std::filesystem::create_directory(dir_ / "sub");
    std::filesystem::create_hard_link(dir_ / "Multi.mul", dir_ / "other.mul");
    struct Row {
        std::string output;
        std::string named;
    };
    std::vector<Row> rows = {
        {idx(), idx()},
        {mul(), mul()},
        {(dir_ / "sub" / ".." / "Multi.idx").string(), idx()},
        {(dir_ / "other.mul").string(), mul()},
    };
#ifndef _WIN32
    // Making a symbolic link on Windows takes administrator rights or developer mode.
    std::filesystem::create_symlink(dir_ / "Multi.idx", dir_ / "link.idx");
    rows.push_back({(dir_ / "link.idx").string(), idx()});
#endif
    for (const Row& row : rows) {
        const CliResult r =
            RunCli({"extract", "--idx", idx(), "--mul", mul(), "--multi", "0", "-o", row.output});
        EXPECT_EQ(r.status, 2) << row.output;
        EXPECT_EQ(r.err.rfind("keelwright-cli extract: -o names " + row.named + ", which extract reads\n", 0),
                  0U)
            << r.err;
        expectFilesUnchanged();
    }
}

#ifndef _WIN32
TEST_F(HostileConditions, RefusesAFifoAsAnyInputInsteadOfWaitingForAWriter) {
    const std::string fifo = (dir_ / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::vector<std::string> scripts = {"scripts", "--format", "54",     "--name", "M",
                                              "--buy",   "1",        "--sell", "1"};
    const std::vector<std::vector<std::string>> rows = {
        {"show", "--no-components", fifo},
        {"show", "--components", fifo, house()},
        {"list", "--idx", fifo, "--mul", mul()},
        {"list", "--idx", idx(), "--mul", fifo},
        {"extract", "--idx", fifo, "--mul", mul(), "--multi", "0"},
        {"extract", "--idx", idx(), "--mul", fifo, "--multi", "0"},
        {"patch", "--no-components", "--idx", fifo, "--mul", mul(), house()},
        {"patch", "--no-components", "--idx", idx(), "--mul", fifo, house()},
        {"patch", "--components", fifo, "--idx", idx(), "--mul", mul(), house()},
    };
    CliLaunch launch;
    launch.timeout = std::chrono::seconds(10);
    for (const std::vector<std::string>& row : rows) {
        const CliResult r = RunCli(row, launch);
        EXPECT_FALSE(r.timedOut) << row.front() << " waited for a writer";
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "keelwright-cli: error: " + fifo + ": is not a regular file\n");
    }
    expectFilesUnchanged();
}

TEST_F(HostileConditions, AnOutputThatCannotBeWrittenFailsEveryCommandOnOneLine) {
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    const std::vector<std::vector<std::string>> rows = {
        {"--help"},
        {"show", "--help"},
        {"show", "--no-components", house()},
        {"show", "--no-components", "--json", house()},
        {"scripts", "--no-components", "--format", "54", "--name", "M", "--buy", "1", "--sell", "1", house()},
        {"extract", "--idx", idx(), "--mul", mul(), "--multi", "0"},
        {"list", "--idx", idx(), "--mul", mul()},
        {"list", "--json", "--idx", idx(), "--mul", mul()},
    };
    CliLaunch launch;
    launch.stdoutPath = "/dev/full";
    for (const std::vector<std::string>& row : rows) {
        const CliResult r = RunCli(row, launch);
        EXPECT_EQ(r.status, 1) << row.front();
        EXPECT_EQ(r.err.rfind("keelwright-cli: error: ", 0), 0U) << r.err;
        EXPECT_NE(r.err.find("cannot write to standard output: No space left on device"), std::string::npos)
            << r.err;
        EXPECT_EQ(lineCount(r.err), 1U) << r.err;
    }
    // A patch is done by then and stays; the one line names its slot.
    const CliResult patched =
        RunCli({"patch", "--no-components", "--idx", idx(), "--mul", mul(), house()}, launch);
    EXPECT_EQ(patched.status, 1);
    EXPECT_EQ(
        patched.err,
        "keelwright-cli: error: the patch completed into slot 5, but its result could not be shown (cannot "
        "write to standard output: No space left on device)\n");
    const CliResult listed = RunCli({"list", "--json", "--idx", idx(), "--mul", mul()});
    EXPECT_NE(listed.out.find("{\"components\":26,\"item\":\"4004\""), std::string::npos) << listed.out;
}
#endif

}  // namespace
}  // namespace keelwright::test
