// keelwright-cli patch with the script options, run as a black box on copies of the example client files.
#include <gtest/gtest.h>

#include <regex>

#include "TestFiles.h"
#include "cli/CliTestSupport.h"
#include "cli/ClientFilesCopy.h"

namespace keelwright::test {
namespace {

class PatchWithScripts : public ClientFilesCopy {
protected:
    std::string output() const { return (dir_ / "house.scp").string(); }
    static std::string house() { return (ExamplesDir() / "house.wsc").string(); }
    static std::string components() { return (ExamplesDir() / "Components.txt").string(); }

    // The script options of the window's three boxes and the components list, then `more`, then the house.
    std::vector<std::string> withScripts(const std::string& command, std::vector<std::string> more) const {
        std::vector<std::string> all = {command, "--components", components(), "--name", "Small House",
                                        "--buy", "12000",        "--sell",     "6000"};
        all.insert(all.end(), more.begin(), more.end());
        all.push_back(house());
        return all;
    }
    std::vector<std::string> patch(std::vector<std::string> more) const {
        more.insert(more.begin(), {"--json", "--idx", idx(), "--mul", mul()});
        return withScripts("patch", std::move(more));
    }
};

int slotOf(const std::string& json) {
    std::smatch match;
    if (!std::regex_search(json, match, std::regex("^\\{\"slot\":([0-9]+),"))) {
        ADD_FAILURE() << "no slot in " << json;
        return -1;
    }
    return std::stoi(match[1]);
}

TEST_F(PatchWithScripts, WritesTheSameScriptsAsTheScriptsCommandForThePatchedSlot) {
    struct Row {
        const char* format;
        bool scriptsOnly;
    };
    int previousSlot = 0;
    for (const Row row :
         {Row{"51a", false}, Row{"51a", true}, Row{"54", false}, Row{"54", true}, Row{"x", true}}) {
        std::vector<std::string> options = {"--format", row.format, "-o", output()};
        if (row.scriptsOnly) {
            options.push_back("--scripts-only");
        }
        const CliResult patched = RunCli(patch(options));
        ASSERT_EQ(patched.status, 0) << patched.err;
        // The same multi into the same files again: every patch after the first warns of the copy.
        EXPECT_EQ(patched.err.empty(), previousSlot == 0) << patched.err;
        const int slot = slotOf(patched.out);
        EXPECT_GT(slot, previousSlot) << "each patch takes a new slot";
        previousSlot = slot;

        options.erase(options.begin() + 2, options.begin() + 4);  // no -o: the scripts go to stdout
        options.insert(options.end(), {"--slot", std::to_string(slot)});
        const CliResult scripts = RunCli(withScripts("scripts", options));
        ASSERT_EQ(scripts.status, 0) << scripts.err;
        EXPECT_EQ(ReadAll(output()), scripts.out) << row.format << (row.scriptsOnly ? " scripts only" : "");
    }
    EXPECT_NE(ReadAll(output()).find("\r\n[MULTIDEF 09]\r\n"), std::string::npos)
        << "the last row names multi 9, in slot 10";
    EXPECT_NE(ReadAll(output()).find("\r\nCOMPONENT=0A6,-2,-3,20\r\n"), std::string::npos)
        << "the last row lists every tile";
}

TEST_F(PatchWithScripts, RefusesBadScriptOptionsBeforeAnythingIsPatched) {
    WriteAll(output(), "an earlier script");
    struct Row {
        std::vector<std::string> options;
        int status;
        std::string errStart;
    };
    const Row rows[] = {
        {{"--format", "99", "-o", output()},
         2,
         "keelwright-cli patch: --format takes 51a, 54 or x, not \"99\"\n"},
        {{"-o", output()}, 2, "keelwright-cli patch: --format is required\n"},
        {{"--format", "54", "--name", " ", "-o", output()}, 2, "keelwright-cli patch: --name is blank\n"},
        {{"--format", "54"}, 2, "keelwright-cli patch: the script options need -o FILE"},
        {{"--format", "54", "-o", (dir_ / "." / "Multi.mul").string()},
         2,
         "keelwright-cli patch: -o names " + mul()},
        {{"--format", "54", "-o", house()}, 2, "keelwright-cli patch: -o names " + house()},
        {{"--format", "54", "--name", "Small\nHouse", "-o", output()},
         1,
         "keelwright-cli: error: the multi name holds a line break\n"},
        {{"--format", "54", "-o", (dir_ / "missing" / "house.scp").string()},
         1,
         "keelwright-cli: error: " + (dir_ / "missing" / "house.scp").string() + ": cannot write"},
    };
    for (const Row& row : rows) {
        const CliResult r = RunCli(patch(row.options));
        EXPECT_EQ(r.status, row.status) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind(row.errStart, 0), 0U) << r.err;
        expectFilesUnchanged();
        EXPECT_EQ(ReadAll(output()), "an earlier script");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 3)
            << "no file left behind";
    }
}

// An index of `used` slots that all hold the example file's first block, then a free one.
std::string IndexWithFreeSlotAfter(int used) {
    const auto record = [](std::int32_t offset, std::int32_t length) {
        std::string bytes;
        for (const std::int32_t field : {offset, length, std::int32_t{0}}) {
            for (int shift = 0; shift < 32; shift += 8) {
                bytes.push_back(static_cast<char>(static_cast<std::uint32_t>(field) >> shift & 0xFF));
            }
        }
        return bytes;
    };
    std::string index;
    for (int slot = 0; slot < used; ++slot) {
        index += record(0, 120);
    }
    return index + record(-1, -1);
}

TEST_F(PatchWithScripts, VerXPatchesOnlyIntoASlotWhoseMultiNumberSphereCanUse) {
    const struct {
        int used;
        int status;
        std::string err;
    } rows[] = {
        {8190, 0, ""},
        {8191, 1,
         "keelwright-cli: error: patch slot 0x2000 (8192) gives multi 0x1FFF (8191), which Sphere cannot use "
         "(multi numbers run from 0 to 0x1FFE (8190))\n"},
    };
    for (const auto& row : rows) {
        WriteAll(idx(), IndexWithFreeSlotAfter(row.used));
        WriteAll(output(), "an earlier script");
        const std::string index = ReadAll(idx());
        const std::string data = ReadAll(mul());
        const CliResult r = RunCli(patch({"--format", "x", "-o", output()}));
        EXPECT_EQ(r.status, row.status) << r.err;
        EXPECT_EQ(r.err, row.err);
        if (row.status == 0) {
            EXPECT_EQ(slotOf(r.out), 8191);
            EXPECT_NE(ReadAll(output()).find("\r\n[MULTIDEF 01FFE]\r\n"), std::string::npos);
            continue;
        }
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(ReadAll(idx()), index);
        EXPECT_EQ(ReadAll(mul()), data);
        EXPECT_EQ(ReadAll(output()), "an earlier script");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 3)
            << "no file left behind";
    }
}

#ifndef _WIN32
// A file-size limit stands for the full disk here: Windows has none.
TEST_F(PatchWithScripts, KeepsThePatchAndNamesTheSlotWhenTheScriptsCannotBeWritten) {
    const CliResult r =
        RunCliWithFileSizeLimit(patch({"--format", "51a", "--scripts-only", "-o", output()}), 1024);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(
        r.out,
        "{\"slot\":5,\"multi\":4,\"item\":\"4004\",\"offset\":456,\"length\":324,\"firstFreeRecord\":39,"
        "\"recordSize\":12}\n");
    EXPECT_EQ(r.err.rfind("keelwright-cli: error: the patch completed into slot 5, but the scripts could not "
                          "be written (" +
                              output() + ": cannot write",
                          0),
              0U)
        << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
    EXPECT_NE(r.err.find("keelwright-cli scripts --slot 5\n"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(output()));

    const CliResult listed = RunCli({"list", "--json", "--idx", idx(), "--mul", mul()});
    EXPECT_EQ(listed.status, 0) << listed.out;
    EXPECT_NE(
        listed.out.find("{\"components\":26,\"item\":\"4004\",\"length\":324,\"multi\":4,\"offset\":456,"
                        "\"slot\":5}"),
        std::string::npos)
        << listed.out;
}
#endif

}  // namespace
}  // namespace keelwright::test
