#include <gtest/gtest.h>

#include "TestFiles.h"
#include "cli/CliTestSupport.h"
#include "scripts/LakesideMill.h"

namespace keelwright::test {
namespace {

// The Lakeside Mill as .EXTRACT would write it at world position 100, 200: loading centres it back on its
// bounds (-1 to 1 both ways), and the components list, not the fifth words, marks the 1300 (0514) listed.
struct MillFiles {
    TempDir dir;
    std::filesystem::path script =
        dir.write("mill.txt", CrLfLines({"6 version", "1 template id", "-1 item version", "3 num components",
                                         "1200 99 199 0 0", "1200 101 201 0 0", "1300 100 201 7 1"}));
    std::filesystem::path components = dir.write("Components.txt", CrLfLines({"ItemID", "0514 wheel"}));

    std::vector<std::string> arguments(const std::string& format, std::vector<std::string> more = {}) const {
        std::vector<std::string> all = {"scripts",        "--components", components.string(), "--format",
                                        format,           "--name",       kLakesideMillName,   "--buy",
                                        kLakesideMillBuy, "--sell",       kLakesideMillSell};
        all.insert(all.end(), more.begin(), more.end());
        all.push_back(script.string());
        return all;
    }
};

TEST(ScriptsCommand, WritesTheLakesideMillScriptsByteForByte) {
    const MillFiles mill;
    const std::vector<std::string> slot = {"--slot", std::to_string(kLakesideMillSlot)};
    for (const bool scriptsOnly : {false, true}) {
        std::vector<std::string> options = slot;
        if (scriptsOnly) {
            options.push_back("--scripts-only");
        }
        const CliResult old = RunCli(mill.arguments("51a", options));
        EXPECT_EQ(old.status, 0) << old.err;
        EXPECT_EQ(old.err, "");
        EXPECT_EQ(old.out, LakesideMill51a(scriptsOnly));
        const CliResult current = RunCli(mill.arguments("54", options));
        EXPECT_EQ(current.status, 0) << current.err;
        EXPECT_EQ(current.out, LakesideMill54(scriptsOnly));
        const CliResult sphereX = RunCli(mill.arguments("x", options));
        EXPECT_EQ(sphereX.status, 0) << sphereX.err;
        EXPECT_EQ(sphereX.out, LakesideMillX(scriptsOnly));
    }
}

TEST(ScriptsCommand, NamesTheMultiByItsNumberOrItsSlotInDecimalOrHex) {
    const MillFiles mill;
    const CliResult bySlot = RunCli(mill.arguments("x", {"--slot", "5122"}));  // multi 0x1401
    ASSERT_EQ(bySlot.status, 0) << bySlot.err;
    ASSERT_NE(bySlot.out.find("\r\n[MULTIDEF 01401]\r\n"), std::string::npos) << bySlot.out;
    const std::vector<std::string> sameMulti[] = {
        {"--multi", "0x1401"}, {"--multi", "5121"}, {"--slot", "0x1402"}, {"--multi", "0X1401"}};
    for (const auto& option : sameMulti) {
        const CliResult r = RunCli(mill.arguments("x", option));
        EXPECT_EQ(r.status, 0) << option[0] << " " << option[1] << ": " << r.err;
        EXPECT_EQ(r.out, bySlot.out) << option[0] << " " << option[1];
    }
    const struct {
        std::vector<std::string> options;
        int status;
        std::string reason;
    } refused[] = {
        {{"--multi", "1", "--slot", "2"}, 2, "keelwright-cli scripts: --slot and --multi exclude each other"},
        {{"--multi", ""}, 2, "keelwright-cli scripts: --multi needs a multi number"},
        {{"--multi", "-1"}, 1, "keelwright-cli: error: multi number \"-1\" is outside 0 to 2147467263"},
        {{"--multi", "0x1G"}, 1, "keelwright-cli: error: multi number"},
    };
    for (const auto& row : refused) {
        const CliResult r = RunCli(mill.arguments("54", row.options));
        EXPECT_EQ(r.status, row.status) << r.err;
        EXPECT_EQ(r.err.rfind(row.reason, 0), 0U) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST(ScriptsCommand, VerXRefusesASlotWhoseMultiNumberSphereCannotUse) {
    const MillFiles mill;
    const CliResult last = RunCli(mill.arguments("x", {"--slot", "8191"}));
    EXPECT_EQ(last.status, 0) << last.err;
    EXPECT_NE(last.out.find("\r\n[MULTIDEF 01FFE]\r\n"), std::string::npos) << last.out;
    const CliResult beyond = RunCli(mill.arguments("x", {"--slot", "8192"}));
    EXPECT_EQ(beyond.status, 1);
    EXPECT_EQ(beyond.out, "");
    EXPECT_EQ(
        beyond.err,
        "keelwright-cli: error: patch slot 0x2000 (8192) gives multi 0x1FFF (8191), which Sphere cannot use "
        "(multi numbers run from 0 to 0x1FFE (8190))\n");
}

TEST(ScriptsCommand, UsesSlotZeroByDefaultAndWritesTextsAsLatin1) {
    const MillFiles mill;
    std::vector<std::string> arguments = mill.arguments("51a");
    arguments[6] = "M\xc3\xbchle";  // the name, as a UTF-8 command line carries it
    const CliResult r = RunCli(arguments);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\r\n[3FFF]\r\nNAME=M\xfchle\r\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\r\nMORE=3FFF\r\n"), std::string::npos);
}

TEST(ScriptsCommand, WritesTheOutputFileWholeOrNotAtAll) {
    const MillFiles mill;
    const auto output = mill.dir / "scripts.scp";
    WriteAll(output, "an earlier script that is longer than nothing");
    const CliResult written = RunCli(mill.arguments("54", {"--slot", "1234", "-o", output.string()}));
    EXPECT_EQ(written.status, 0) << written.err;
    EXPECT_EQ(written.out, "");
    EXPECT_EQ(ReadAll(output), LakesideMill54(false));

    // A writer error leaves the earlier file as it was.
    std::vector<std::string> withBreak = mill.arguments("54", {"--output", output.string()});
    withBreak[6] = "Lakeside\r\nMill";
    const CliResult refused = RunCli(withBreak);
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "keelwright-cli: error: the multi name holds a line break\n");
    EXPECT_EQ(ReadAll(output), LakesideMill54(false));

    const auto nowhere = mill.dir / "missing" / "scripts.scp";
    const CliResult failed = RunCli(mill.arguments("51a", {"-o", nowhere.string()}));
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.err.rfind("keelwright-cli: error: " + nowhere.string() + ": cannot write", 0), 0u)
        << failed.err;
    EXPECT_EQ(std::count(failed.err.begin(), failed.err.end(), '\n'), 1);
    EXPECT_FALSE(std::filesystem::exists(nowhere));

#ifndef _WIN32
    // A disk that fills up part way leaves the earlier file too, not a truncated script reported as written.
    const CliResult cut = RunCliWithFileSizeLimit(mill.arguments("54", {"-o", output.string()}), 512);
    EXPECT_EQ(cut.status, 1);
    EXPECT_EQ(cut.err, "keelwright-cli: error: " + output.string() + ": cannot write: only 512 of " +
                           std::to_string(LakesideMill54(false).size()) + " bytes could be written\n");
    EXPECT_EQ(ReadAll(output), LakesideMill54(false));

    // A link is kept and the file it points to replaced, as an editor saving through it would.
    const auto link = mill.dir / "link.scp";
    std::filesystem::create_symlink(output.filename(), link);
    const CliResult throughLink = RunCli(mill.arguments("51a", {"--slot", "1234", "-o", link.string()}));
    EXPECT_EQ(throughLink.status, 0) << throughLink.err;
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadAll(output), LakesideMill51a(false));
#endif
}

TEST(ScriptsCommand, ReportsAFailedLoadOnOneLineWithStatusOne) {
    const MillFiles mill;
    const auto bad =
        mill.dir.write("bad.txt", CrLfLines({"6 version", "1 template id", "-1 item version", "x"}));
    std::vector<std::string> arguments = mill.arguments("51a");
    arguments.back() = bad.string();
    const CliResult r = RunCli(arguments);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "keelwright-cli: error: " + bad.string() +
                         ":4: component count \"x\" is not a number: expected three header lines and a count "
                         "line (\"26 num components\"), or \"ItemId X Y Z Flags\" lines without a header\n");
}

TEST(ScriptsCommand, RejectsMissingOrBadOptionsWithStatusTwo) {
    const MillFiles mill;
    const auto without = [&](const std::string& option) {
        std::vector<std::string> arguments = mill.arguments("51a");
        const auto at = std::find(arguments.begin(), arguments.end(), option);
        arguments.erase(at, at + 2);
        return arguments;
    };
    const auto replaced = [&](std::size_t index, const std::string& value) {
        std::vector<std::string> arguments = mill.arguments("51a");
        arguments[index] = value;
        return arguments;
    };
    const struct {
        std::vector<std::string> arguments;
        std::string reason;
    } rows[] = {
        {without("--format"), "--format is required"},
        {without("--name"), "--name is required"},
        {without("--buy"), "--buy is required"},
        {without("--sell"), "--sell is required"},
        {replaced(4, "54+"), "--format takes 51a, 54 or x, not \"54+\""},
        {replaced(4, "X"), "--format takes 51a, 54 or x, not \"X\""},
        {mill.arguments("x"), "--format x needs --slot N, the Multi.idx slot the multi was patched into"},
        {mill.arguments("x", {"--slot", "0"}), "--format x needs --slot N"},
        {mill.arguments("x", {"--slot", "\x1b[2J"}),
         "--slot takes a whole number from 0 to 2147467264, not \"\\x1B[2J\"\n"},
        {mill.arguments("51a", {"--type", std::string(200, 't')}),
         "--type takes txt, wsc, uoa, uoalib or csv, not \"" + std::string(80, 't') + "\"\xE2\x80\xA6\n"},
        {replaced(6, "   "), "--name is blank"},
        {replaced(8, ""), "--buy is blank"},
        {replaced(6, "Mill \xe2\x82\xac"), "--name holds a character that is not Latin-1"},  // the euro sign
#ifndef _WIN32
        // Bytes that are not UTF-8, which a Windows command line (UTF-16 text) cannot carry.
        {replaced(6, "M\xfchle"), "--name is not UTF-8 text"},       // Latin-1 bytes where UTF-8 text belongs
        {replaced(8, "1\xc0\xb0"), "--buy is not UTF-8 text"},       // an overlong form of '0'
        {replaced(10, "\xed\xa0\x80"), "--sell is not UTF-8 text"},  // a surrogate, which only UTF-16 has
#endif
        {mill.arguments("51a", {"--slot", "-1"}),
         "--slot takes a whole number from 0 to 2147467264, not \"-1\""},
        {mill.arguments("51a", {"--slot", "12a"}), "--slot takes a whole number"},
        {mill.arguments("51a", {"--slot", "2147467265"}), "--slot takes a whole number"},
        {mill.arguments("51a", {"-o", ""}), "--output names no file"},
        {mill.arguments("51a", {"--colour", "red"}), "Unknown option \"colour\""},
        {{"scripts", "--format", "51a", "--name", "Mill", "--buy", "1", "--sell", "1"}, "missing argument"},
    };
    for (const auto& row : rows) {
        const CliResult r = RunCli(row.arguments);
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind("keelwright-cli scripts: " + row.reason, 0), 0u) << r.err;
        EXPECT_NE(r.err.find("Usage: keelwright-cli scripts"), std::string::npos) << r.err;
    }
}

}  // namespace
}  // namespace keelwright::test
