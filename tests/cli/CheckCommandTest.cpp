// keelwright-cli check, run as a black box on copies of the example client files: its exit status, the
// reader its error line names, its JSON, and that it changes nothing.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "TestFiles.h"
#include "cli/CliTestSupport.h"
#include "cli/ClientFilesCopy.h"

namespace keelwright::test {
namespace {

class CheckCommand : public ClientFilesCopy {};

TEST_F(CheckCommand, ExitsByWhetherEveryReaderSeesTheFilesAsTheyAre) {
    const std::string exampleUop = (ExamplesDir() / "client" / "MultiCollection.uop").string();
    const std::string uopBeside = (dir_ / "MultiCollection.uop").string();
    const struct {
        const char* what;
        bool uopBeside;         // a copy of the example UOP lies beside the copies
        const char* multiZero;  // slot 1 of the copied index, when changed
        std::vector<std::string> arguments;
        int status;
        std::string err;  // the start of standard error
    } rows[] = {
        {"the example files with their UOP",
         false,
         nullptr,
         {"--idx", idx(), "--mul", mul(), "--uop", exampleUop},
         0,
         ""},
        {"Multi.mul alone beside its UOP", true, nullptr, {"--idx", idx(), "--mul", mul()}, 0, ""},
        {"Multi.mul alone, no UOP anywhere",
         false,
         nullptr,
         {"--idx", idx(), "--mul", mul()},
         1,
         "keelwright-cli: error: Seen otherwise by Game client / ClassicUO 7.0 and later\n"},
        {"multi 0 of 48 bytes in 12-byte files",
         true,
         "\x00\x00\x00\x00\x30\x00\x00\x00\xff\xff\xff\xff",
         {"--idx", idx(), "--mul", mul()},
         1,
         "keelwright-cli: error: Seen otherwise by Sphere\n"},
        {"the UOP alone", false, nullptr, {"--uop", exampleUop}, 0, ""},
        {"an unknown option",
         false,
         nullptr,
         {"--idx", idx(), "--mul", mul(), "--bogus"},
         2,
         "keelwright-cli check: "},
        {"--record-size without Multi.mul",
         false,
         nullptr,
         {"--uop", exampleUop, "--record-size", "12"},
         2,
         "keelwright-cli check: --record-size"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        std::filesystem::remove(uopBeside);
        if (row.uopBeside) {
            std::filesystem::copy_file(exampleUop, uopBeside);
        }
        WriteAll(idx(), index_);
        if (row.multiZero != nullptr) {
            std::string bytes = index_;
            bytes.replace(0, 12, std::string(row.multiZero, 12));
            WriteAll(idx(), bytes);
        }
        const std::string changed = ReadAll(idx());
        std::vector<std::string> arguments{"check"};
        arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
        const CliResult text = RunCli(arguments);
        EXPECT_EQ(text.status, row.status) << text.out << text.err;
        EXPECT_EQ(text.err.rfind(row.err, 0), 0U) << text.err;
        EXPECT_EQ(ReadAll(idx()), changed);
        EXPECT_EQ(ReadAll(mul()), data_);
        if (row.status == 2) {
            continue;
        }
        EXPECT_NE(text.out.find("Sphere: "), std::string::npos) << text.out;
        arguments.push_back("--json");
        const CliResult json = RunCli(arguments);
        EXPECT_EQ(json.status, row.status);
        const nlohmann::json report = nlohmann::json::parse(json.out);
        EXPECT_EQ(report["clean"], row.status == 0);
        ASSERT_EQ(report["readers"].size(), 6U);
        EXPECT_EQ(report["readers"][0]["reader"], "sphere");
        EXPECT_EQ(report["readers"][0]["clean"], row.multiZero == nullptr);
        EXPECT_EQ(report["readers"][0]["checked"], row.arguments.front() == "--idx");
    }
}

}  // namespace
}  // namespace keelwright::test
