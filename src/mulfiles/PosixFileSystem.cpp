// Platform code: the one place where the core calls the operating system for files, because the standard
// library has no positioned reads and writes, no fsync and no ftruncate on an open file.
#include "mulfiles/PosixFileSystem.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <limits>
#include <system_error>

#include "model/Error.h"

namespace keelwright {
namespace {

ErrorNumber numberOf(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return ErrorNumber::FileNotFound;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
        case EEXIST:
        case ETXTBSY:
            return ErrorNumber::PathAccess;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return ErrorNumber::DiskFull;
        case ENAMETOOLONG:
            return ErrorNumber::BadFileName;
        default:
            return ErrorNumber::DeviceIo;
    }
}

Error systemError(int error, const std::string& doing, const std::string& name) {
    return Error(numberOf(error), doing + ": " + std::system_category().message(error)).at(name);
}

class PosixFile : public RandomAccessFile {
public:
    PosixFile(int descriptor, std::string name) : fd_(descriptor), name_(std::move(name)) {}
    ~PosixFile() override { ::close(fd_); }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    const std::string& name() const override { return name_; }

    std::uint64_t size() override {
        struct stat status {};
        if (::fstat(fd_, &status) != 0) {
            throw systemError(errno, "cannot read the file's size", name_);
        }
        return static_cast<std::uint64_t>(status.st_size);
    }

    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> into) override {
        std::size_t done = 0;
        while (done < into.size()) {
            const ssize_t got = ::pread(fd_, into.data() + done, into.size() - done, position(offset + done));
            if (got < 0) {
                if (errno == EINTR) {
                    continue;
                }
                throw systemError(errno, "cannot read", name_);
            }
            if (got == 0) {
                break;
            }
            done += static_cast<std::size_t>(got);
        }
        return done;
    }

    void writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t put =
                ::pwrite(fd_, bytes.data() + done, bytes.size() - done, position(offset + done));
            if (put < 0) {
                if (errno == EINTR) {
                    continue;
                }
                throw systemError(errno, "cannot write", name_);
            }
            if (put == 0) {
                throw systemError(ENOSPC, "cannot write", name_);
            }
            done += static_cast<std::size_t>(put);
        }
    }

    void truncate(std::uint64_t size) override {
        while (::ftruncate(fd_, position(size)) != 0) {
            if (errno != EINTR) {
                throw systemError(errno, "cannot change the file's length", name_);
            }
        }
    }

    void sync() override {
        if (::fsync(fd_) != 0) {
            throw systemError(errno, "cannot flush the file to disk", name_);
        }
    }

private:
    off_t position(std::uint64_t offset) const {
        if (offset > static_cast<std::uint64_t>(INT64_MAX)) {
            throw Error(ErrorNumber::BadRecordNumber, "position beyond any file").at(name_);
        }
        return static_cast<off_t>(offset);
    }

    int fd_;
    std::string name_;
};

int flagsOf(OpenMode mode) {
    switch (mode) {
        case OpenMode::Read:
            return O_RDONLY;
        case OpenMode::ReadWrite:
            return O_RDWR;
        case OpenMode::CreateNew:
            return O_RDWR | O_CREAT | O_EXCL;
    }
    return O_RDONLY;
}

// Opens a regular file and gives its descriptor, closed again on every failure.
int openRegularFile(const std::filesystem::path& path, OpenMode mode) {
    const std::string name = path.string();
    // Non-blocking, because opening a FIFO waits for a writer and would hang before the type check below;
    // a regular file then gets its blocking mode back.
    int fd = -1;
    do {
        fd = ::open(path.c_str(), flagsOf(mode) | O_CLOEXEC | O_NONBLOCK, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int error = errno;
        throw systemError(
            error, mode == OpenMode::Read ? "cannot open for reading" : "cannot open for writing", name);
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        throw Error(ErrorNumber::PathAccess, "is not a regular file").at(name);
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        const int error = errno;
        ::close(fd);
        throw systemError(error, "cannot open", name);
    }
    return fd;
}

// A lock on the open file description of its own descriptor: open-file-description locks (Linux 3.15 on),
// else flock. Both go with the last descriptor of the description, so a killed process leaves none, and
// neither is shared with the holder's other descriptors of the file, which therefore do plain I/O.
class PosixLock : public FileLock {
public:
    explicit PosixLock(int descriptor) : fd_(descriptor) {}
    ~PosixLock() override { ::close(fd_); }
    PosixLock(const PosixLock&) = delete;
    PosixLock& operator=(const PosixLock&) = delete;

    // Takes the lock if no one holds a conflicting one; false if someone does.
    bool tryLock(LockKind kind, const std::string& name) {
#ifdef F_OFD_SETLK
        struct flock whole {};
        whole.l_type = kind == LockKind::Exclusive ? F_WRLCK : F_RDLCK;
        whole.l_whence = SEEK_SET;  // from byte 0 to the end, however far the file grows
        if (::fcntl(fd_, F_OFD_SETLK, &whole) == 0) {
            return true;
        }
        if (errno == EAGAIN || errno == EACCES || errno == EINTR) {
            return false;
        }
        if (errno != EINVAL) {
            throw systemError(errno, "cannot lock the file", name);
        }
        // EINVAL: a kernel without open-file-description locks.
#endif
        if (::flock(fd_, (kind == LockKind::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0) {
            return true;
        }
        if (errno == EWOULDBLOCK || errno == EINTR) {
            return false;
        }
        throw systemError(errno, "cannot lock the file", name);
    }

private:
    int fd_;
};

}  // namespace

std::unique_ptr<RandomAccessFile> PosixFileSystem::open(const std::filesystem::path& path, OpenMode mode) {
    return std::make_unique<PosixFile>(openRegularFile(path, mode), path.string());
}

// There is no timed wait for either kind of lock, so the lock is tried again after a pause that doubles
// up to 20 ms: a patch holds the files for milliseconds, and the waiter comes in soon after.
std::unique_ptr<FileLock> PosixFileSystem::lock(const std::filesystem::path& path, LockKind kind,
                                                std::chrono::milliseconds wait) {
    const std::string name = path.string();
    auto held = std::make_unique<PosixLock>(
        openRegularFile(path, kind == LockKind::Exclusive ? OpenMode::ReadWrite : OpenMode::Read));
    WaitForLock([&] { return held->tryLock(kind, name); }, name, kind, wait);
    return held;
}

bool PosixFileSystem::exists(const std::filesystem::path& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0;
}

bool PosixFileSystem::sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

void PosixFileSystem::rename(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (std::rename(from.c_str(), to.c_str()) != 0) {
        throw systemError(errno, "cannot replace the file", to.string());
    }
}

void PosixFileSystem::removeQuietly(const std::filesystem::path& path) noexcept {
    ::unlink(path.c_str());
}

void PosixFileSystem::syncFolder(const std::filesystem::path& folder) {
    const std::filesystem::path target = folder.empty() ? std::filesystem::path(".") : folder;
    const int fd = ::open(target.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        throw systemError(errno, "cannot open the folder", target.string());
    }
    // Some file systems cannot flush a folder and say so with EINVAL; their renames are durable anyway.
    const int result = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    if (result != 0 && error != EINVAL) {
        throw systemError(error, "cannot flush the folder to disk", target.string());
    }
}

std::filesystem::path PosixFileSystem::fileToReplace(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::path target = path;
    if (std::filesystem::is_symlink(path, error)) {
        const std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
        target = error ? path : resolved;
    }
    if (std::filesystem::is_directory(target, error)) {
        throw Error(ErrorNumber::PathAccess, "names a folder, not a file").at(path.string());
    }
    return target;
}

std::int64_t PosixFileSystem::processId() {
    return ::getpid();
}

bool PosixFileSystem::processRuns(std::int64_t id) {
    if (id <= 0) {
        return true;  // kill() would signal a process group: no file of ours carries such an id
    }
    if (id > std::numeric_limits<pid_t>::max()) {
        return false;
    }
    // Signal 0 only asks: EPERM is a process of another user, which runs all the same.
    return ::kill(static_cast<pid_t>(id), 0) == 0 || errno == EPERM;
}

}  // namespace keelwright
