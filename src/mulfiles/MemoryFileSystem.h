#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "mulfiles/FileSystem.h"

namespace keelwright {

// Files held in memory, for tests and fuzzing: every path names a file of bytes, folders do not exist as
// such. Open files share their bytes with the file system, so what one writes the next reads. Locks
// exclude each other as the real ones do; one held by the caller stands for another program's, so a lock
// that conflicts fails at once (nothing else could release it while the caller waits).
class MemoryFileSystem : public FileSystem {
public:
    using Bytes = std::vector<std::uint8_t>;

    // Puts a file at the path, replacing one that is there.
    void put(const std::filesystem::path& path, Bytes bytes);
    // The bytes of the file at the path; throws FileNotFound when there is none.
    const Bytes& bytes(const std::filesystem::path& path) const;

    std::unique_ptr<RandomAccessFile> open(const std::filesystem::path& path, OpenMode mode) override;
    std::unique_ptr<FileLock> lock(const std::filesystem::path& path, LockKind kind,
                                   std::chrono::milliseconds wait) override;
    bool exists(const std::filesystem::path& path) override;
    bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) override;
    void rename(const std::filesystem::path& from, const std::filesystem::path& to) override;
    void removeQuietly(const std::filesystem::path& path) noexcept override;
    void syncFolder(const std::filesystem::path& folder) override;

private:
    struct Holders {
        int shared = 0;
        bool exclusive = false;
    };

    std::map<std::filesystem::path, std::shared_ptr<Bytes>> files_;
    std::map<std::filesystem::path, std::shared_ptr<Holders>> locks_;
};

}  // namespace keelwright
