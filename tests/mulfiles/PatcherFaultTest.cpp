// Every way a patch can fail leaves both client files byte for byte as they were, and a later patch then
// works as if nothing had happened.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "TestFiles.h"
#include "model/Error.h"
#include "mulfiles/ClientFileBytes.h"
#include "mulfiles/FaultyFileSystem.h"
#include "mulfiles/Patcher.h"

namespace keelwright {
namespace {

using test::FileFaults;
using test::FillerRecords;
using test::Free;
using test::IndexBytes;
using test::TableOf;
using test::Used;

// Run in both record sizes of Multi.mul.
class PatcherFaultTest : public ::testing::TestWithParam<RecordSize> {
protected:
    void SetUp() override {
        test::WriteAll(files_.multiIdx, kIndex);
        test::WriteAll(files_.multiMul, kData);
    }

    // Runs a patch that must fail and returns its error.
    Error failedPatch(FileSystem& fileSystem, const ComponentTable& table) {
        try {
            PatchMulti(fileSystem, table, files_);
            ADD_FAILURE() << "the patch reported success";
        } catch (const Error& e) {
            return e;
        }
        return Error(ErrorNumber::InvalidCall, "no error");
    }

    void expectFilesAsTheyWere(const std::string& what) const {
        EXPECT_EQ(test::ReadAll(files_.multiIdx), kIndex) << what;
        EXPECT_EQ(test::ReadAll(files_.multiMul), kData) << what;
    }

    void expectALaterPatchToWork() {
        NativeFileSystem real;
        const PatchResult result = PatchMulti(real, test::GeneratedTable(20), files_);
        EXPECT_EQ(result.recordSize.size, GetParam());
        EXPECT_EQ(result.slot, 2);
        EXPECT_EQ(result.firstFreeRecord, 4);
        EXPECT_EQ(test::ReadAll(files_.multiMul).size(), kRecordBytes * (3 + 21));
    }

    const std::size_t kRecordBytes = BytesOf(GetParam());
    // A data file of three records. The Length of its block tells the record size: 36 bytes fits 12-byte
    // records only, 32 bytes 16-byte records only.
    const std::string kData = FillerRecords(3, GetParam());
    const std::string kIndex =
        IndexBytes({Used(0, GetParam() == RecordSize::Twelve ? 36 : 32), Free(), Free()});
    test::TempDir dir_;
    ClientFiles files_{dir_ / "Multi.idx", dir_ / "Multi.mul"};
};

INSTANTIATE_TEST_SUITE_P(BothRecordSizes, PatcherFaultTest,
                         ::testing::Values(RecordSize::Twelve, RecordSize::Sixteen),
                         [](const auto& info) { return std::to_string(BytesOf(info.param)) + "Bytes"; });

TEST_P(PatcherFaultTest, AComponentTextThatDoesNotConvertStopsThePatchBeforeAnyWrite) {
    struct Row {
        std::vector<test::Row> rows;
        ErrorNumber number;
        const char* reason;
    };
    const Row rows[] = {
        {{{"1200", "0", "0", "0", "1"}, {"12x", "0", "0", "0", "1"}},
         ErrorNumber::TypeMismatch,
         "component 2: item id \"12x\" is not a number"},
        {{{"1200", "40000", "0", "0", "1"}},
         ErrorNumber::Overflow,
         "component 1: x \"40000\" is outside -32768 to 32767"},
        {{{"1", "0", "0", "-32769", "1"}},
         ErrorNumber::Overflow,
         "component 1: z \"-32769\" is outside -32768 to 32767"},
        {{{"1", "0", "0", "0", "2147483648"}},
         ErrorNumber::Overflow,
         "component 1: flags \"2147483648\" is outside -2147483648 to 2147483647"},
        {{{"1", "0", "", "0", "1"}}, ErrorNumber::TypeMismatch, "component 1: y \"\" is not a number"},
    };
    for (const Row& row : rows) {
        test::FaultyFileSystem fileSystem;
        const Error e = failedPatch(fileSystem, TableOf(row.rows));
        EXPECT_EQ(e.number(), row.number);
        EXPECT_EQ(e.reason(), row.reason);
        EXPECT_TRUE(fileSystem.writes.empty()) << row.reason;
        expectFilesAsTheyWere(row.reason);
    }

    ComponentTable shortTable = TableOf({{"1", "0", "0", "0", "1"}});
    shortTable.Count = 2;  // as a failed load leaves it: the second entry was never stored
    test::FaultyFileSystem fileSystem;
    EXPECT_EQ(failedPatch(fileSystem, shortTable).reason(), "component 2: item id \"\" is not a number");
    expectFilesAsTheyWere("a table shorter than its count");
    expectALaterPatchToWork();
}

TEST_P(PatcherFaultTest, LeavesBothFilesAsTheyWereWhenAWriteOrFlushFails) {
    struct Row {
        const char* what;
        const char* file;
        FileFaults faults;
        ErrorNumber number;
    };
    const Row rows[] = {
        {"the data file cannot be opened for writing", "Multi.mul", FileFaults::RefuseWriting(),
         ErrorNumber::PathAccess},
        {"the disk fills up in the middle of the block", "Multi.mul",
         FileFaults::Capacity(3 * kRecordBytes + 100), ErrorNumber::DiskFull},
        {"the disk is full before the block", "Multi.mul", FileFaults::Capacity(kData.size()),
         ErrorNumber::DiskFull},
        {"the block cannot be flushed", "Multi.mul", FileFaults::FailingSync(1), ErrorNumber::DeviceIo},
        {"the block write fails half-way", "Multi.mul", FileFaults::FailingWrite(1), ErrorNumber::DeviceIo},
        {"the index cannot be opened for writing", "Multi.idx", FileFaults::RefuseWriting(),
         ErrorNumber::PathAccess},
        {"the index entry is half written", "Multi.idx", FileFaults::FailingWrite(1), ErrorNumber::DeviceIo},
        {"the index entry cannot be flushed", "Multi.idx", FileFaults::FailingSync(1), ErrorNumber::DeviceIo},
    };
    for (const Row& row : rows) {
        test::FaultyFileSystem fileSystem;
        fileSystem.faults[row.file] = row.faults;
        const Error e = failedPatch(fileSystem, test::GeneratedTable(20));
        EXPECT_EQ(e.number(), row.number) << row.what << ": " << e.description();
        EXPECT_EQ(e.description().find("undoing"), std::string::npos) << e.description();
        expectFilesAsTheyWere(row.what);
    }
    expectALaterPatchToWork();
}

TEST_P(PatcherFaultTest, SaysSoWhenPuttingTheIndexBackFailsToo) {
    test::FaultyFileSystem fileSystem;
    fileSystem.faults["Multi.idx"] = FileFaults::FailingSync(1);
    fileSystem.faults["Multi.idx"].failingWrite = 2;  // the write that puts the old entry back
    const Error e = failedPatch(fileSystem, test::GeneratedTable(2));
    EXPECT_NE(e.description().find("injected flush failure; undoing the change also failed"),
              std::string::npos)
        << e.description();
    EXPECT_EQ(test::ReadAll(files_.multiMul), kData) << "the block is still cut back";
}

#ifndef _WIN32
// A real file size limit (POSIX only; Windows has none): the kernel stops the block at the limit (SIGXFSZ
// ignored, so write fails with EFBIG). Run in a child process so the limit does not reach the test program.
TEST_P(PatcherFaultTest, LeavesBothFilesAsTheyWereWhenTheSystemFileSizeLimitStopsTheBlock) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{kData.size() + 100, kData.size() + 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        NativeFileSystem real;
        int status = 2;
        try {
            PatchMulti(real, test::GeneratedTable(20), files_);
            status = 1;
        } catch (const Error& e) {
            status = e.number() == ErrorNumber::DiskFull ? 0 : 3;
        } catch (...) {
            status = 4;
        }
        _exit(status);
    }
    int waitStatus = 0;
    ASSERT_EQ(waitpid(child, &waitStatus, 0), child);
    ASSERT_TRUE(WIFEXITED(waitStatus));
    EXPECT_EQ(WEXITSTATUS(waitStatus), 0) << "1: patched, 3: another error, 4: no Error";
    expectFilesAsTheyWere("the file size limit");
    expectALaterPatchToWork();
}
#endif

}  // namespace
}  // namespace keelwright
