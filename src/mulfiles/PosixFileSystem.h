#pragma once

#include "mulfiles/FileSystem.h"

namespace keelwright {

// The operating system's files through POSIX calls (open, pread, pwrite, ftruncate, fsync, rename;
// fcntl or flock for locks).
// This and its .cpp are the only POSIX code of the core.
class PosixFileSystem : public FileSystem {
public:
    std::unique_ptr<RandomAccessFile> open(const std::filesystem::path& path, OpenMode mode) override;
    std::unique_ptr<FileLock> lock(const std::filesystem::path& path, LockKind kind,
                                   std::chrono::milliseconds wait) override;
    bool exists(const std::filesystem::path& path) override;
    bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) override;
    void rename(const std::filesystem::path& from, const std::filesystem::path& to) override;
    void removeQuietly(const std::filesystem::path& path) noexcept override;
    void syncFolder(const std::filesystem::path& folder) override;
    std::filesystem::path fileToReplace(const std::filesystem::path& path) override;
    std::int64_t processId() override;
    bool processRuns(std::int64_t id) override;
};

}  // namespace keelwright
