#include "mulfiles/MemoryFileSystem.h"

#include <algorithm>
#include <limits>

#include "model/Error.h"
#include "model/PathText.h"

namespace keelwright {
namespace {

// A memory file may grow to any size the vector can take; offsets beyond that fail as a full disk would.
constexpr std::uint64_t kLargestFile = std::numeric_limits<std::uint32_t>::max();

class MemoryFile : public RandomAccessFile {
public:
    MemoryFile(std::shared_ptr<MemoryFileSystem::Bytes> bytes, std::string name, bool writable)
        : bytes_(std::move(bytes)), name_(std::move(name)), writable_(writable) {}

    const std::string& name() const override { return name_; }
    std::uint64_t size() override { return bytes_->size(); }

    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> into) override {
        if (offset >= bytes_->size()) {
            return 0;
        }
        const auto first = static_cast<std::size_t>(offset);
        const std::size_t count = std::min(into.size(), bytes_->size() - first);
        std::copy_n(bytes_->begin() + static_cast<std::ptrdiff_t>(first), count, into.begin());
        return count;
    }

    void writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override {
        requireWritable();
        if (offset > kLargestFile || bytes.size() > kLargestFile - offset) {
            throw Error(ErrorNumber::DiskFull, "cannot write: the memory file would grow too large")
                .at(name_);
        }
        const auto end = static_cast<std::size_t>(offset + bytes.size());
        if (end > bytes_->size()) {
            bytes_->resize(end);
        }
        std::copy(bytes.begin(), bytes.end(), bytes_->begin() + static_cast<std::ptrdiff_t>(offset));
    }

    void truncate(std::uint64_t size) override {
        requireWritable();
        if (size > kLargestFile) {
            throw Error(ErrorNumber::DiskFull, "cannot change the file's length").at(name_);
        }
        bytes_->resize(static_cast<std::size_t>(size));
    }

    void sync() override {}

private:
    void requireWritable() const {
        if (!writable_) {
            throw Error(ErrorNumber::PathAccess, "cannot write: opened for reading").at(name_);
        }
    }

    std::shared_ptr<MemoryFileSystem::Bytes> bytes_;
    std::string name_;
    bool writable_;
};

}  // namespace

void MemoryFileSystem::put(const std::filesystem::path& path, Bytes bytes) {
    files_[path] = std::make_shared<Bytes>(std::move(bytes));
}

const MemoryFileSystem::Bytes& MemoryFileSystem::bytes(const std::filesystem::path& path) const {
    const auto found = files_.find(path);
    if (found == files_.end()) {
        throw Error(ErrorNumber::FileNotFound, "file not found").at(PathText(path));
    }
    return *found->second;
}

std::unique_ptr<RandomAccessFile> MemoryFileSystem::open(const std::filesystem::path& path, OpenMode mode) {
    auto found = files_.find(path);
    if (mode == OpenMode::CreateNew) {
        if (found != files_.end()) {
            throw Error(ErrorNumber::PathAccess, "cannot open for writing: the file exists")
                .at(PathText(path));
        }
        found = files_.emplace(path, std::make_shared<Bytes>()).first;
    } else if (found == files_.end()) {
        throw Error(ErrorNumber::FileNotFound, mode == OpenMode::Read
                                                   ? "cannot open for reading: no such file"
                                                   : "cannot open for writing: no such file")
            .at(PathText(path));
    }
    return std::make_unique<MemoryFile>(found->second, PathText(path), mode != OpenMode::Read);
}

std::unique_ptr<FileLock> MemoryFileSystem::lock(const std::filesystem::path& path, LockKind kind,
                                                 std::chrono::milliseconds wait) {
    open(path, kind == LockKind::Exclusive ? OpenMode::ReadWrite : OpenMode::Read);
    std::shared_ptr<Holders>& holders = locks_[path];
    if (!holders) {
        holders = std::make_shared<Holders>();
    }
    if (holders->exclusive || (kind == LockKind::Exclusive && holders->shared > 0)) {
        throw LockedFileError(PathText(path), kind, wait);
    }
    class Held : public FileLock {
    public:
        Held(std::shared_ptr<Holders> holders, LockKind kind) : holders_(std::move(holders)), kind_(kind) {
            if (kind_ == LockKind::Exclusive) {
                holders_->exclusive = true;
            } else {
                ++holders_->shared;
            }
        }
        ~Held() override {
            if (kind_ == LockKind::Exclusive) {
                holders_->exclusive = false;
            } else {
                --holders_->shared;
            }
        }

    private:
        std::shared_ptr<Holders> holders_;
        LockKind kind_;
    };
    return std::make_unique<Held>(holders, kind);
}

bool MemoryFileSystem::exists(const std::filesystem::path& path) {
    return files_.count(path) != 0;
}

bool MemoryFileSystem::sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    const auto first = files_.find(a);
    const auto second = files_.find(b);
    return first != files_.end() && second != files_.end() && first->second == second->second;
}

void MemoryFileSystem::rename(const std::filesystem::path& from, const std::filesystem::path& to) {
    const auto found = files_.find(from);
    if (found == files_.end()) {
        throw Error(ErrorNumber::FileNotFound, "cannot replace the file: the new file is gone")
            .at(PathText(to));
    }
    std::shared_ptr<Bytes> bytes = found->second;
    files_.erase(found);
    files_[to] = std::move(bytes);
}

void MemoryFileSystem::removeQuietly(const std::filesystem::path& path) noexcept {
    files_.erase(path);
}

void MemoryFileSystem::syncFolder(const std::filesystem::path&) {}

}  // namespace keelwright
