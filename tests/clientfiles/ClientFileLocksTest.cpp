#include "clientfiles/ClientFileLocks.h"

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "mulfiles/MemoryFileSystem.h"
#include "mulfiles/NativeFileSystem.h"

namespace keelwright {
namespace {

using std::chrono::milliseconds;
constexpr LockKind kShared = LockKind::Shared;
constexpr LockKind kExclusive = LockKind::Exclusive;

// The operating system's locks, taken twice in one process through two handles of a file, exclude each
// other as they do between two programs; the memory file system's as well.
TEST(FileSystemLock, SharedLocksShareAndAnExclusiveOneExcludesEveryOtherUntilItGoes) {
    const test::TempDir dir;
    const std::filesystem::path file = dir.write("Multi.mul", "bytes");
    NativeFileSystem native;
    MemoryFileSystem memory;
    memory.put(file, {'b'});
    struct Row {
        LockKind held;
        LockKind wanted;
        bool excluded;
    };
    for (const Row& row : {Row{kShared, kShared, false}, Row{kShared, kExclusive, true},
                           Row{kExclusive, kShared, true}, Row{kExclusive, kExclusive, true}}) {
        for (FileSystem* fileSystemOf :
             {static_cast<FileSystem*>(&native), static_cast<FileSystem*>(&memory)}) {
            FileSystem& fileSystem = *fileSystemOf;
            std::unique_ptr<FileLock> held = fileSystem.lock(file, row.held, milliseconds(0));
            for (const milliseconds wait : {milliseconds(0), milliseconds(50)}) {
                try {
                    const std::unique_ptr<FileLock> second = fileSystem.lock(file, row.wanted, wait);
                    EXPECT_FALSE(row.excluded);
                } catch (const LockedFileError& e) {
                    EXPECT_TRUE(row.excluded);
                    EXPECT_EQ(e.description(), file.string() + ": another program is changing " +
                                                   (row.wanted == kShared ? "" : "or reading ") +
                                                   "this file" +
                                                   (wait.count() > 0 ? " (waited 50 ms for it)" : "") +
                                                   "; try again when it is done");
                }
            }
            // Reads and writes through other handles go on: the lock stops only other locks.
            fileSystem.open(file, OpenMode::ReadWrite)->writeAt(0, std::vector<std::uint8_t>{'B'});
            held.reset();
            EXPECT_NE(fileSystem.lock(file, row.wanted, milliseconds(0)), nullptr);
        }
    }
    EXPECT_EQ(test::ReadAll(file), "Bytes");
}

TEST(ClientFileLocks, LocksEveryFileThatIsThereOnceAndHoldsNoneWhenOneIsHeldElsewhere) {
    const test::TempDir dir;
    const ClientFiles files{dir.write("Multi.idx", "i"), dir.write("Multi.mul", "m")};
    const std::filesystem::path uop = dir.write("MultiCollection.uop", "u");
    std::filesystem::create_hard_link(files.multiIdx, dir / "same.idx");
    NativeFileSystem fileSystem;
    {
        // A missing file and a file named twice are passed over, not waited for by the command itself.
        const ClientFileLocks locks(fileSystem, ClientFiles{dir / "same.idx", dir / "missing.mul"},
                                    files.multiIdx, kExclusive, milliseconds(0));
        EXPECT_THROW(fileSystem.lock(files.multiIdx, kShared, milliseconds(0)), LockedFileError);
        EXPECT_NE(fileSystem.lock(files.multiMul, kExclusive, milliseconds(0)), nullptr);
    }
    const std::unique_ptr<FileLock> elsewhere = fileSystem.lock(uop, kShared, milliseconds(0));
    try {
        const ClientFileLocks locks(fileSystem, files, uop, kExclusive, milliseconds(100));
        ADD_FAILURE() << "locked a file held elsewhere";
    } catch (const LockedFileError& e) {
        EXPECT_EQ(e.file(), uop.string());
        EXPECT_NE(e.description().find("(waited 100 ms for it)"), std::string::npos) << e.description();
    }
    EXPECT_NE(fileSystem.lock(files.multiIdx, kExclusive, milliseconds(0)), nullptr) << "released on failure";
    EXPECT_NO_THROW(ClientFileLocks(fileSystem, files, uop, kShared, milliseconds(0)));
}

}  // namespace
}  // namespace keelwright
