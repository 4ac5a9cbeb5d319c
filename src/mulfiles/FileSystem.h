#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>

#include "mulfiles/FileLock.h"
#include "mulfiles/RandomAccessFile.h"

namespace keelwright {

enum class OpenMode {
    Read,       // an existing file, read only
    ReadWrite,  // an existing file, read and written; nothing is created
    CreateNew,  // a new, empty file; fails if anything exists at the path
};

// Opens files and changes folders. NativeFileSystem is the real one; tests wrap it to inject failures.
// Every failure throws Error naming the path.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Opens a regular file; a missing file is FileNotFound, a folder PathAccess.
    virtual std::unique_ptr<RandomAccessFile> open(const std::filesystem::path& path, OpenMode mode) = 0;
    // Whether anything exists at the path.
    virtual bool exists(const std::filesystem::path& path) = 0;
    // Whether both paths name one existing file.
    virtual bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) = 0;
    // Moves `from` over `to` in one step, replacing a file at `to`.
    virtual void rename(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    // Removes a file if it exists; never fails (used while cleaning up after another failure).
    virtual void removeQuietly(const std::filesystem::path& path) noexcept = 0;
    // Makes the folder's entries (a new or renamed file) durable.
    virtual void syncFolder(const std::filesystem::path& folder) = 0;
    // Locks an existing file against the other programs that lock it (advisory: reads and writes are not
    // stopped). A lock another program holds is waited for, up to `wait` (0: not at all), then
    // LockedFileError is thrown. An exclusive lock needs the file writable. Open errors as open() gives them.
    virtual std::unique_ptr<FileLock> lock(const std::filesystem::path& path, LockKind kind,
                                           std::chrono::milliseconds wait) = 0;
    // The file that replacing `path` should replace: the path itself, or the file a link there points to, so
    // that the link stays. Throws PathAccess when the path names a folder. A file system without links or
    // folders keeps this default.
    virtual std::filesystem::path fileToReplace(const std::filesystem::path& path) { return path; }
    // This process's id, which the names of its temporary files carry.
    virtual std::int64_t processId() { return 0; }
    // Whether the process with this id still runs, so that its temporary files are left alone. True when it
    // cannot be told; a file system without processes keeps this default.
    virtual bool processRuns(std::int64_t /*id*/) { return true; }
};

}  // namespace keelwright
