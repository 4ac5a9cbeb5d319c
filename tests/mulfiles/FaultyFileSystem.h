#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "mulfiles/NativeFileSystem.h"

namespace keelwright::test {

// Faults of one file, chosen by its file name.
struct FileFaults {
    bool refuseWriting = false;             // opening it for writing fails as if it were read-only
    std::optional<std::uint64_t> capacity;  // it cannot grow past this many bytes: the disk fills up there
    int failingWrite = 0;                   // this write to it (from 1) puts half its bytes, then fails
    int failingSync = 0;                    // this flush of it (from 1) fails after the bytes were written
    bool lockedElsewhere = false;           // another program holds a lock on it for longer than any wait

    static FileFaults RefuseWriting() {
        FileFaults f;
        f.refuseWriting = true;
        return f;
    }
    static FileFaults Capacity(std::uint64_t bytes) {
        FileFaults f;
        f.capacity = bytes;
        return f;
    }
    static FileFaults FailingWrite(int number) {
        FileFaults f;
        f.failingWrite = number;
        return f;
    }
    static FileFaults FailingSync(int number) {
        FileFaults f;
        f.failingSync = number;
        return f;
    }
    static FileFaults LockedElsewhere() {
        FileFaults f;
        f.lockedElsewhere = true;
        return f;
    }
};

// The real file system with failures injected into the files named in `faults`.
class FaultyFileSystem : public NativeFileSystem {
public:
    std::map<std::string, FileFaults> faults;

    // Counts of the writes and flushes the files received, by file name.
    std::map<std::string, int> writes;
    std::map<std::string, int> syncs;
    // The bytes read from each file, by file name, so that a test can hold a search to a bounded read.
    std::map<std::string, std::uint64_t> bytesRead;

    std::unique_ptr<RandomAccessFile> open(const std::filesystem::path& path, OpenMode mode) override;
    // Fails at once, as a real lock does after its wait, for a file locked elsewhere.
    std::unique_ptr<FileLock> lock(const std::filesystem::path& path, LockKind kind,
                                   std::chrono::milliseconds wait) override;
};

}  // namespace keelwright::test
