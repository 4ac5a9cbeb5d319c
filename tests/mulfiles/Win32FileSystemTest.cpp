// What the file system meets only on Windows: folder names outside every ANSI code page, and client files
// that another program (a running game client) holds open. Built for Windows alone.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "TestFiles.h"
#include "TestTables.h"
#include "model/ComponentTable.h"
#include "model/ComponentsList.h"
#include "model/Error.h"
#include "model/PathText.h"
#include "model/ScriptReaders.h"
#include "mulfiles/AtomicFile.h"
#include "mulfiles/ClientFileBytes.h"
#include "mulfiles/Extractor.h"
#include "mulfiles/HeldFile.h"
#include "mulfiles/NativeFileSystem.h"
#include "mulfiles/Patcher.h"

namespace keelwright {
namespace {

// Greek, Cyrillic and Chinese, which no ANSI code page holds together, as UTF-16 and as UTF-8.
const std::wstring kWideName = L"\u03A9 \u0434\u043E\u043C \u5BB6";
const std::string kUtf8Name = "\xCE\xA9 \xD0\xB4\xD0\xBE\xD0\xBC \xE5\xAE\xB6";

const std::string kInUse = ": is in use by another program (close the game client and try again)";

TEST(Win32FileSystem, PatchesExtractsAndWritesInAFolderNamedInAnyAlphabet) {
    const test::TempDir dir;
    const std::filesystem::path folder = dir.path() / kWideName;
    std::filesystem::create_directory(folder);
    const ClientFiles files{folder / L"Multi.idx", folder / L"Multi.mul"};
    test::WriteAll(files.multiIdx, test::IndexBytes({test::Used(0, 36), test::Free()}));
    test::WriteAll(files.multiMul, test::FillerRecords(3));
    test::WriteAll(folder / L"Components.txt", test::CrLfLines({"Components", "04B1"}));
    const std::filesystem::path script = folder / (kWideName + L".txt");
    test::WriteAll(script, test::CrLfLines({"6 version", "1 template id", "-1 item version",
                                            "2 num components", "1200 0 0 0 1", "1201 2 0 0 1"}));
    NativeFileSystem fileSystem;

    ComponentTable table;
    LoadMulti(script, ScriptType::MultiTxt, table, ReadComponentsList(folder / L"Components.txt"));
    const PatchResult patched = PatchMulti(fileSystem, table, files);
    EXPECT_EQ(patched.slot, 2);
    const std::string text = ExtractMultiText(
        fileSystem, files.multiMul, 2, ReadIndexEntry(fileSystem, files.multiIdx, 2), RecordSize::Twelve);
    EXPECT_EQ(text, test::CrLfLines({"6 version", "1 template id", "-1 item version", "2 num components",
                                     "1200 -1 0 0 1", "1201 1 0 0 0"}));
    const std::filesystem::path copy = folder / (kWideName + L" copy.txt");
    WriteFileAtomically(fileSystem, copy, text);
    EXPECT_EQ(test::ReadAll(copy), text);
    EXPECT_TRUE(fileSystem.sameFile(files.multiIdx, folder / L"." / L"MULTI.IDX"));
    EXPECT_FALSE(fileSystem.sameFile(files.multiIdx, files.multiMul));

    // Errors name the file in UTF-8.
    struct Row {
        const char* what;
        std::function<void()> fail;
        std::string file;
    };
    const std::string utf8Folder = PathText(dir.path()) + "\\" + kUtf8Name;
    const Row rows[] = {
        {"open", [&] { fileSystem.open(folder / L"none.idx", OpenMode::Read); }, utf8Folder + "\\none.idx"},
        {"load", [&] { LoadMulti(folder / L"none.txt", ScriptType::MultiTxt, table, {}); },
         utf8Folder + "\\none.txt"},
        {"write", [&] { WriteFileAtomically(fileSystem, folder / L"no" / L"x.scp", text); },
         utf8Folder + "\\no\\x.scp"},
    };
    for (const Row& row : rows) {
        try {
            row.fail();
            ADD_FAILURE() << row.what << " did not fail";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), ErrorNumber::FileNotFound) << row.what << ": " << e.description();
            EXPECT_EQ(e.file(), row.file) << row.what;
        }
    }
}

TEST(Win32FileSystem, AClientFileAnotherProgramHoldsIsInUseAndNeitherFileChanges) {
    const std::string index = test::IndexBytes({test::Used(0, 36), test::Free()});
    const std::string data = test::FillerRecords(3);
    for (const bool holdIndex : {true, false}) {
        const test::TempDir dir;
        const ClientFiles files{dir / "Multi.idx", dir / "Multi.mul"};
        test::WriteAll(files.multiIdx, index);
        test::WriteAll(files.multiMul, data);
        const std::filesystem::path held = holdIndex ? files.multiIdx : files.multiMul;
        NativeFileSystem fileSystem;
        {
            const test::HeldFile holder(held);
            for (const OpenMode mode : {OpenMode::Read, OpenMode::ReadWrite}) {
                try {
                    fileSystem.open(held, mode);
                    ADD_FAILURE() << "opened " << PathText(held);
                } catch (const Error& e) {
                    EXPECT_EQ(e.number(), ErrorNumber::PathAccess);
                    EXPECT_EQ(e.description(), PathText(held) + kInUse);
                }
            }
            try {
                PatchMulti(fileSystem, test::GeneratedTable(3), files);
                ADD_FAILURE() << "patched while " << PathText(held) << " was held";
            } catch (const Error& e) {
                EXPECT_EQ(e.description(), PathText(held) + kInUse);
            }
        }
        EXPECT_EQ(test::ReadAll(files.multiIdx), index);
        EXPECT_EQ(test::ReadAll(files.multiMul), data);
        EXPECT_EQ(PatchMulti(fileSystem, test::GeneratedTable(3), files).slot, 2) << "once the file is free";
    }
}

TEST(Win32FileSystem, WhileAFileIsOpenForWritingOthersMayReadItButNotWrite) {
    const test::TempDir dir;
    const std::filesystem::path path = dir.write("Multi.mul", test::FillerRecords(1));
    NativeFileSystem fileSystem;
    const auto writer = fileSystem.open(path, OpenMode::ReadWrite);
    const auto openedBy = [&](DWORD access) {
        const HANDLE other = CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        const DWORD error = other == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
        CloseHandle(other);
        return error;
    };
    EXPECT_EQ(openedBy(GENERIC_READ), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(openedBy(GENERIC_WRITE), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
}

}  // namespace
}  // namespace keelwright
