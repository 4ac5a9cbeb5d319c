// Every way an add can fail leaves MultiCollection.uop byte for byte as it was, and a crash at any write
// leaves a file that every client reads as before or as after.
#include <gtest/gtest.h>

#include "TestFiles.h"
#include "model/Error.h"
#include "mulfiles/FaultyFileSystem.h"
#include "uop/PowerCutFileSystem.h"
#include "uop/UopMultis.h"
#include "uop/UopTestFiles.h"

namespace keelwright {
namespace {

using test::ClientReads;
using test::FactEntry;
using test::FactUopBytes;
using test::FileFaults;
using test::PowerCutFileSystem;

using test::kFileTime;
const std::vector<UopTile> kWrittenTiles = {
    UopTile::lead(), {1200, -2, 3, 0, 0, {}}, {1653, 1, 1, 5, 1, {9}}};

class UopWriterFaultTest : public ::testing::TestWithParam<const char*> {
protected:
    // A block with room, or every block full so that the add appends one.
    std::string before() const {
        return std::string(GetParam()) == "room" ? FactUopBytes(4, 4, test::HousingAndMultis(2))
                                                 : FactUopBytes(4, 2, test::HousingAndMultis(3));
    }

    void add(FileSystem& fileSystem) { AddMultiToUop(fileSystem, path_, kWrittenTiles, kFileTime); }

    // The file after a successful add, and the writes and flushes it took.
    std::string after(int& writes, int& syncs) {
        test::WriteAll(path_, before());
        test::FaultyFileSystem counting;
        add(counting);
        writes = counting.writes["MultiCollection.uop"];
        syncs = counting.syncs["MultiCollection.uop"];
        return test::ReadAll(path_);
    }

    Error failedAdd(FileSystem& fileSystem) {
        test::WriteAll(path_, before());
        try {
            add(fileSystem);
            ADD_FAILURE() << "the add reported success";
        } catch (const Error& e) {
            return e;
        }
        return Error(ErrorNumber::InvalidCall, "no error");
    }

    test::TempDir dir_;
    std::filesystem::path path_ = dir_ / "MultiCollection.uop";
};

TEST_P(UopWriterFaultTest, LeavesTheFileAsItWasWhenAnyWriteOrFlushFails) {
    int writes = 0, syncs = 0;
    const std::string added = after(writes, syncs);
    EXPECT_EQ(writes, std::string(GetParam()) == "room" ? 5 : 7);
    EXPECT_EQ(syncs, writes) << "every write is flushed before the next";
    std::vector<std::pair<std::string, FileFaults>> rows = {
        {"opening for writing", FileFaults::RefuseWriting()},
        {"a full disk", FileFaults::Capacity(before().size() + 20)}};
    for (int n = 1; n <= writes; ++n) {
        rows.push_back({"write " + std::to_string(n), FileFaults::FailingWrite(n)});
        rows.push_back({"flush " + std::to_string(n), FileFaults::FailingSync(n)});
    }
    for (const auto& [what, faults] : rows) {
        test::FaultyFileSystem fileSystem;
        fileSystem.faults["MultiCollection.uop"] = faults;
        const Error e = failedAdd(fileSystem);
        EXPECT_EQ(e.description().find("undoing"), std::string::npos) << what << ": " << e.description();
        EXPECT_EQ(test::ReadAll(path_), before()) << what;
    }
    NativeFileSystem real;
    add(real);
    EXPECT_EQ(test::ReadAll(path_), added) << "a later add works as if nothing had happened";
}

TEST_P(UopWriterFaultTest, SaysSoWhenPuttingTheFileBackFailsToo) {
    int writes = 0, syncs = 0;
    after(writes, syncs);
    test::FaultyFileSystem fileSystem;
    fileSystem.faults["MultiCollection.uop"] = FileFaults::FailingSync(writes);  // the file count's flush
    fileSystem.faults["MultiCollection.uop"].failingWrite = writes + 1;          // putting the count back
    const Error e = failedAdd(fileSystem);
    EXPECT_NE(e.description().find("injected flush failure; undoing the change also failed: "),
              std::string::npos)
        << e.description();
}

TEST_P(UopWriterFaultTest, ACrashAtAnyWriteLeavesAFileThatReadsAsBeforeOrAsAfter) {
    int writes = 0, syncs = 0;
    const std::string added = after(writes, syncs);
    for (const bool honourUsedCount : {false, true}) {
        const auto asBefore = ClientReads(before(), honourUsedCount);
        const auto asAfter = ClientReads(added, honourUsedCount);
        for (int n = 1; n <= writes; ++n) {
            for (const double part : {0.0, 0.5, 1.0}) {
                PowerCutFileSystem fileSystem(n, part);
                failedAdd(fileSystem);
                const std::string crashed = test::ReadAll(path_);
                const auto reads = ClientReads(crashed, honourUsedCount);
                EXPECT_TRUE(reads == asBefore || reads == asAfter)
                    << "power cut at write " << n << " with " << part
                    << " of it written, honouring the used count: " << honourUsedCount;
                NativeFileSystem real;
                EXPECT_NO_THROW(UopContainer(real, path_)) << "our reader too, at write " << n;
            }
        }
    }
}

TEST_P(UopWriterFaultTest, RestoreUndoesACompletedAdd) {
    test::WriteAll(path_, before());
    NativeFileSystem real;
    const UopMultiAdded added = AddMultiToUop(real, path_, kWrittenTiles, kFileTime);
    RestoreUopFile(real, path_, added.added.undo);
    EXPECT_EQ(test::ReadAll(path_), before());
}

INSTANTIATE_TEST_SUITE_P(IntoABlock, UopWriterFaultTest, ::testing::Values("room", "full"));

}  // namespace
}  // namespace keelwright
