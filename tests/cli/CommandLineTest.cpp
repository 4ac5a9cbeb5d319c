// The command line of keelwright-cli as its users type it: help, usage errors and the forms of options.
#include <gtest/gtest.h>

#include <regex>

#include "TestFiles.h"
#include "cli/CliTestSupport.h"

namespace keelwright::test {
namespace {

// The synopsis of a command in the top-level usage text.
std::string synopsisOf(const std::string& usage, const std::string& command) {
    const std::size_t start = usage.find("\n  " + command + " ");
    return start == std::string::npos ? std::string()
                                      : usage.substr(start, usage.find('\n', start + 1) - start);
}

TEST(CommandLine, TheHelpOfEveryCommandExplainsEveryOptionOfItsSynopsis) {
    const CliResult usage = RunCli({"--help"});
    ASSERT_EQ(usage.status, 0) << usage.err;
    EXPECT_EQ(usage.out.rfind("Usage: keelwright-cli COMMAND [OPTIONS]\n", 0), 0U) << usage.out;
    for (const std::string command : {"show", "scripts", "patch", "extract", "list", "preview"}) {
        const std::string synopsis = synopsisOf(usage.out, command);
        ASSERT_NE(synopsis, "") << command << " is missing from\n" << usage.out;
        const CliResult help = RunCli({command, "--help"});
        EXPECT_EQ(help.status, 0) << help.err;
        EXPECT_EQ(help.out.rfind("Usage: keelwright-cli " + command + " [options]", 0), 0U) << help.out;
        const std::regex option("--[a-z-]+");
        for (auto it = std::sregex_iterator(synopsis.begin(), synopsis.end(), option);
             it != std::sregex_iterator(); ++it) {
            // The option and, on its line, a description after it.
            EXPECT_TRUE(std::regex_search(help.out, std::regex("\n  .*" + it->str() + "\\b[^\n]* {2,}[A-Z]")))
                << command << " " << it->str() << ":\n"
                << help.out;
        }
    }
}

TEST(CommandLine, RefusesWhatItCannotParseWithTheCommandsUsage) {
    const struct {
        std::vector<std::string> arguments;
        std::string reason;
    } rows[] = {
        {{"show", "--type"}, "keelwright-cli show: Missing value after '--type'.\n"},
        {{"list", "--json", "--idx"}, "keelwright-cli list: Missing value after '--idx'.\n"},
        {{"show", "--json=yes", "a.txt"}, "keelwright-cli show: Unexpected value after '--json'.\n"},
        {{"show", "--colour=red", "-x", "a.txt"},
         "keelwright-cli show: Unknown options: \"colour\", \"x\".\n"},
        {{"extract", "--idx", "a", "--mul", "b", "--multi", "1", "c"},
         "keelwright-cli extract: too many arguments\n"},
        {{"show", "--help", "--colour"}, "keelwright-cli show: Unknown option \"colour\".\n"},
    };
    for (const auto& row : rows) {
        const CliResult r = RunCli(row.arguments);
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.substr(0, r.err.find('\n') + 1), row.reason);
        EXPECT_NE(r.err.find("\nUsage: keelwright-cli " + row.arguments.front() + " "), std::string::npos)
            << r.err;
    }
}

TEST(CommandLine, QuotesTheInputItEchoesShortAndWithoutControlBytes) {
    const std::string escape = "\x1b]0;owned\x07";  // sets a terminal's title
    const std::string ellipsis = "\xE2\x80\xA6";
    std::vector<std::string> manyUnknown = {"list"};
    for (int i = 1; i <= 12; ++i) {
        manyUnknown.push_back("--option" + std::to_string(i));
    }
    const struct {
        std::vector<std::string> arguments;
        std::string firstLine;
    } rows[] = {
        {{escape + std::string(100, 'w')},
         "keelwright-cli: unknown command \"\\x1B]0;owned\\x07" + std::string(70, 'w') + "\"" + ellipsis},
        {{"show", "--" + escape, "a.txt"}, "keelwright-cli show: Unknown option \"\\x1B]0;owned\\x07\"."},
        // U+00FC in UTF-8: Windows hands arguments over as UTF-16, so they must be valid UTF-8 there.
        {{"show", "--type", "w\xC3\xBC" + escape, "a.txt"},
         "keelwright-cli show: --type takes txt, wsc, uoa, uoalib or csv, not \"w\\xC3\\xBC\\x1B]0;owned\\x07\""},
        {manyUnknown,
         "keelwright-cli list: Unknown options: \"option1\", \"option2\", \"option3\", \"option4\", "
         "\"option5\", \"option6\", \"option7\", \"option8\" and 4 more."},
    };
    for (const auto& row : rows) {
        const CliResult r = RunCli(row.arguments);
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_EQ(r.err.substr(0, r.err.find('\n')), row.firstLine);
        EXPECT_EQ(r.err.find('\x1b'), std::string::npos);
    }
}

TEST(CommandLine, TakesOptionValuesInEveryFormAndTheLastOfARepeatedOption) {
    const std::string house = (ExamplesDir() / "house.txt").string();
    const std::vector<std::string> common = {"scripts", "--no-components", "--buy", "1", "--sell", "2"};
    const struct {
        std::vector<std::string> more;
        int status;
        std::string expected;  // in stdout for status 0, at the start of stderr otherwise
    } rows[] = {
        {{"--format=54", "--name=-Mill", house}, 0, "\r\nNAME=-Mill\r\n"},
        {{"--format", "51a", "--format", "54", "--name", "Old", "--name", "New", house},
         0,
         "\r\nNAME=New\r\n"},
        {{"--format", "54", "--name", "--sell", house}, 0, "\r\nNAME=--sell\r\n"},
        {{"--format", "54", "--name", "Mill", "--slot", "007", "--", house}, 0, "\r\n[ITEMDEF 04006]\r\n"},
        {{"--format", "54", "--name=", house}, 2, "keelwright-cli scripts: --name is blank\n"},
        {{"--format", "54", "--name", "Mill", "--slot=", house},
         2,
         "keelwright-cli scripts: --slot takes a whole number from 0 to 2147467264, not \"\"\n"},
    };
    for (const auto& row : rows) {
        std::vector<std::string> arguments = common;
        arguments.insert(arguments.end(), row.more.begin(), row.more.end());
        const CliResult r = RunCli(arguments);
        EXPECT_EQ(r.status, row.status) << r.err;
        if (row.status == 0) {
            EXPECT_NE(r.out.find(row.expected), std::string::npos) << r.out;
        } else {
            EXPECT_EQ(r.err.rfind(row.expected, 0), 0U) << r.err;
        }
    }
}

TEST(CommandLine, TakesAPathAsTheBytesOfItsArgument) {
    TempDir dir;
    const std::string script =
        CrLfLines({"6 version", "1 template id", "-1 item version", "1", "1200 0 0 0"});
    std::vector<std::string> names = {"M\xc3\xbchle.txt"};
#ifndef _WIN32
    names.push_back("M\xfchle.txt");  // Latin-1, which is no UTF-8 at all: a POSIX file name is bytes
#endif
    for (const std::string& name : names) {
        const auto path = dir.write(name, script);
        const CliResult r = RunCli({"show", "--no-components", path.string()});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out.rfind("Components: 1\n", 0), 0U) << r.out;
    }
}

TEST(CommandLine, TakesAnArgumentBeginningWithASlashForAPathOnEverySystem) {
    const std::string house = (ExamplesDir() / "house.txt").string();
    const struct {
        std::vector<std::string> arguments;
        std::string named;  // the file the error names
    } rows[] = {
        {{"show", "--no-components", "/designs/no-such-house.wsc"}, "no-such-house.wsc"},
        {{"show", "--components", "/lists/NoSuchComponents.txt", house}, "NoSuchComponents.txt"},
        {{"extract", "--uop", "/client/NoSuchCollection.uop", "--multi", "1"}, "NoSuchCollection.uop"},
    };
    for (const auto& row : rows) {
        const CliResult r = RunCli(row.arguments);
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_NE(r.err.find(row.named), std::string::npos) << r.err;
    }
}

}  // namespace
}  // namespace keelwright::test
