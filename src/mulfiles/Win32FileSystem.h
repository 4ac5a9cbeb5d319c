#pragma once

#include "mulfiles/FileSystem.h"

namespace keelwright {

// The operating system's files through the Win32 API (CreateFileW, ReadFile and WriteFile at offsets,
// FlushFileBuffers, MoveFileExW,
// LockFileEx). Paths go to the system as wide strings, never through the ANSI code
// page. This and its .cpp are the only Windows code of the core.
class Win32FileSystem : public FileSystem {
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
