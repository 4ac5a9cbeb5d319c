// keelwright-cli as Windows users meet it: paths with drive letters and backslashes in any spelling, folder
// names outside every ANSI code page, and client files that a running game client holds. Windows only.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <functional>

#include "TestFiles.h"
#include "cli/CliTestSupport.h"
#include "cli/ClientFilesCopy.h"
#include "model/PathText.h"
#include "mulfiles/HeldFile.h"

namespace keelwright::test {
namespace {

const std::string kPatchedJson =
    "{\"slot\":5,\"multi\":4,\"item\":\"4004\",\"offset\":456,\"length\":324,\"firstFreeRecord\":39,"
    "\"recordSize\":12}\n";

// Whether every line of the text ends in one CR LF, as the program writes it: a standard output in text
// mode would turn each into CR CR LF.
bool crLfLinesOnly(const std::string& text) {
    std::size_t lines = 0;
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
        ++lines;
        if (at == 0 || text[at - 1] != '\r' || (at > 1 && text[at - 2] == '\r')) {
            return false;
        }
    }
    return lines > 0 && text.back() == '\n' &&
           static_cast<std::size_t>(std::count(text.begin(), text.end(), '\r')) == lines;
}

class WindowsConditions : public ClientFilesCopy {
protected:
    std::vector<std::string> patchWithScripts(const std::string& idx, const std::string& mul,
                                              const std::string& output, const std::string& script) const {
        return {"patch",       "--json", "--idx", idx,      "--mul", mul,  "--format", "54",  "--name",
                "Small House", "--buy",  "12000", "--sell", "6000",  "-o", output,     script};
    }
    void restoreFiles() const {
        WriteAll(dir_ / "Multi.idx", index_);
        WriteAll(dir_ / "Multi.mul", data_);
    }
};

TEST_F(WindowsConditions, TakesWindowsPathsInEverySpellingAndKeepsLineEndsAsWritten) {
    std::filesystem::create_directory(dir_ / "sub");
    ASSERT_EQ(PathText(dir_.path()).substr(1, 2), ":\\") << "a drive letter and backslashes";
    const struct {
        const char* spelling;
        std::function<std::string(const std::filesystem::path&)> spell;
    } rows[] = {
        {"backslashes", [](const std::filesystem::path& path) { return PathText(path); }},
        {"slashes", [](const std::filesystem::path& path) { return PathText(path.generic_wstring()); }},
        {"capitals",
         [](const std::filesystem::path& path) {
             std::wstring text = path.native();
             std::transform(text.begin(), text.end(), text.begin(),
                            [](wchar_t c) { return std::towupper(c); });
             return PathText(text);
         }},
        {"dot steps",
         [](const std::filesystem::path& path) {
             return PathText(path.parent_path() / L"sub" / L".." / L"." / path.filename());
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.spelling);
        restoreFiles();
        const std::string idx = row.spell(dir_ / "Multi.idx");
        const std::string mul = row.spell(dir_ / "Multi.mul");
        const std::filesystem::path scripts = dir_ / "house.scp";
        const CliResult patched =
            RunCli(patchWithScripts(idx, mul, row.spell(scripts), row.spell(ExamplesDir() / "house.wsc")));
        EXPECT_EQ(patched.status, 0) << patched.err;
        EXPECT_EQ(patched.err, "");
        EXPECT_EQ(patched.out, kPatchedJson) << "an LF alone ends the line of JSON";
        EXPECT_TRUE(crLfLinesOnly(ReadAll(scripts)));

        // stdout carries the same bytes as the file.
        const std::filesystem::path text = dir_ / "house.txt";
        const CliResult extracted = RunCli({"extract", "--idx", idx, "--mul", mul, "--multi", "4"});
        EXPECT_EQ(extracted.status, 0) << extracted.err;
        const CliResult written =
            RunCli({"extract", "--idx", idx, "--mul", mul, "--multi", "4", "-o", row.spell(text)});
        EXPECT_EQ(written.status, 0) << written.err;
        EXPECT_EQ(extracted.out, ReadAll(text));
        EXPECT_TRUE(crLfLinesOnly(extracted.out)) << extracted.out;
        EXPECT_NE(extracted.out.find("\r\n26 num components\r\n"), std::string::npos) << extracted.out;

        // -o that names a client file in another spelling is still that client file.
        const CliResult refused = RunCli(
            {"extract", "--idx", idx, "--mul", mul, "--multi", "4", "-o", row.spell(dir_ / "MULTI.IDX")});
        EXPECT_EQ(refused.status, 2) << refused.err;

        // An error names the file as it was given, and its line ends in an LF alone.
        const std::string missing = row.spell(dir_ / "none.txt");
        const CliResult failed = RunCli({"show", "--no-components", missing});
        EXPECT_EQ(failed.status, 1);
        EXPECT_EQ(failed.err, "keelwright-cli: error: " + missing + ": file not found\n");
    }
}

TEST_F(WindowsConditions, WorksInAFolderNamedInAnyAlphabet) {
    // Greek, Cyrillic and Chinese, which no ANSI code page holds together.
    const std::wstring name = L"\u03A9 \u0434\u043E\u043C \u5BB6";
    const std::filesystem::path folder = dir_.path() / name;
    std::filesystem::create_directory(folder);
    for (const wchar_t* file : {L"Multi.idx", L"Multi.mul"}) {
        std::filesystem::copy_file(dir_.path() / file, folder / file);
    }
    const std::filesystem::path script = folder / (name + L".wsc");
    std::filesystem::copy_file(ExamplesDir() / "house.wsc", script);
    const std::filesystem::path components = folder / (name + L".txt");
    std::filesystem::copy_file(ExamplesDir() / "Components.txt", components);
    const std::string idx = PathText(folder / L"Multi.idx");
    const std::string mul = PathText(folder / L"Multi.mul");
    ASSERT_NE(idx.find("\xCE\xA9 \xD0\xB4\xD0\xBE\xD0\xBC \xE5\xAE\xB6\\"), std::string::npos) << "UTF-8";

    const std::filesystem::path scripts = folder / (name + L".scp");
    std::vector<std::string> patch = patchWithScripts(idx, mul, PathText(scripts), PathText(script));
    patch.insert(patch.begin() + 1, {"--components", PathText(components)});
    const CliResult patched = RunCli(patch);
    EXPECT_EQ(patched.status, 0) << patched.err;
    EXPECT_EQ(patched.out, kPatchedJson);
    EXPECT_NE(ReadAll(scripts).find("\r\n[ITEMDEF 04004]\r\nDEFNAME=i_Small_House\r\n"), std::string::npos);

    const std::filesystem::path text = folder / (name + L" 4.txt");
    const CliResult extracted =
        RunCli({"extract", "--idx", idx, "--mul", mul, "--multi", "4", "-o", PathText(text)});
    EXPECT_EQ(extracted.status, 0) << extracted.err;
    const CliResult shown = RunCli({"show", "--json", "--components", PathText(components), PathText(text)});
    const CliResult loaded =
        RunCli({"show", "--json", "--components", PathText(components), PathText(script)});
    EXPECT_EQ(shown.status, 0) << shown.err;
    EXPECT_EQ(shown.out, loaded.out) << "the patched multi reads back as loaded";
    EXPECT_NE(shown.out.find("\"count\":26"), std::string::npos) << shown.out;

    const CliResult listed = RunCli({"list", "--idx", idx, "--mul", mul});
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_NE(listed.out.find("first free slot 7"), std::string::npos) << listed.out;

    const std::filesystem::path missing = folder / (name + L" none.txt");
    const CliResult failed = RunCli({"show", "--no-components", PathText(missing)});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.err, "keelwright-cli: error: " + PathText(missing) + ": file not found\n");
}

TEST_F(WindowsConditions, AClientFileAnotherProgramHoldsStopsEveryCommandAndChangesNothing) {
    const std::string scripts = PathText(dir_ / "house.scp");
    const std::string house = PathText(ExamplesDir() / "house.wsc");
    const std::vector<std::vector<std::string>> commands = {
        patchWithScripts(idx(), mul(), scripts, house),
        {"list", "--idx", idx(), "--mul", mul()},
        {"extract", "--idx", idx(), "--mul", mul(), "--multi", "0"},
    };
    for (const char* file : {"Multi.idx", "Multi.mul"}) {
        const std::string held = PathText(dir_ / file);
        {
            const HeldFile holder(dir_ / file);
            for (const std::vector<std::string>& command : commands) {
                const CliResult r = RunCli(command);
                EXPECT_EQ(r.status, 1) << command.front() << " with " << held << " held";
                EXPECT_EQ(r.err,
                          "keelwright-cli: error: " + held +
                              ": is in use by another program (close the game client and try again)\n");
            }
        }
        expectFilesUnchanged();
        EXPECT_FALSE(std::filesystem::exists(dir_ / "house.scp")) << "no scripts for a patch not made";
    }
    const CliResult patched = RunCli(commands.front());
    EXPECT_EQ(patched.out, kPatchedJson) << "once the files are free: " << patched.err;
}

}  // namespace
}  // namespace keelwright::test
