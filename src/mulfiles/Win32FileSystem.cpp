// Platform code: the one place where the core calls Windows for files, because the standard library has no
// positioned reads and writes, no flush to disk and no truncate on an open file.
#include "mulfiles/Win32FileSystem.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>

#include "model/Error.h"
#include "model/PathText.h"

namespace keelwright {
namespace {

// Client files are opened sharing read access only. While a patch holds Multi.idx and Multi.mul no other
// program can open them for writing, and a program that already writes them (or denies others access, as
// a game client may) makes our open fail with a sharing violation instead of two writers mixing their
// records. Readers such as a running game client may keep reading: a patch writes the block before the
// index entry that points at it. Delete sharing is not given, so no one renames or replaces a file under us.
constexpr DWORD kShareMode = FILE_SHARE_READ;

// ERROR_DISK_QUOTA_EXCEEDED, which MinGW's headers lack.
constexpr DWORD kDiskQuotaExceeded = 1295;

// The largest piece one ReadFile or WriteFile call is given; their counts are 32-bit.
constexpr std::size_t kMaxTransfer = 1U << 30;

ErrorNumber numberOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
            return ErrorNumber::FileNotFound;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT:
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
        case ERROR_USER_MAPPED_FILE:
            return ErrorNumber::PathAccess;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
        case kDiskQuotaExceeded:
        case ERROR_FILE_TOO_LARGE:
            return ErrorNumber::DiskFull;
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_DIRECTORY:
            return ErrorNumber::BadFileName;
        default:
            return ErrorNumber::DeviceIo;
    }
}

std::string utf8Of(const std::wstring& text) {
    const int wide = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(std::max(size, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

// The system's text for an error in the user's language, as UTF-8 on one line without a full stop.
std::string describe(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length > 0 ? std::wstring(buffer, length) : std::wstring();
    LocalFree(buffer);
    while (!text.empty() &&
           (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' || text.back() == L'.')) {
        text.pop_back();
    }
    return text.empty() ? "Windows error " + std::to_string(error) : utf8Of(text);
}

Error systemError(DWORD error, const std::string& doing, const std::string& name) {
    return Error(numberOf(error), doing + ": " + describe(error)).at(name);
}

class Win32File : public RandomAccessFile {
public:
    Win32File(HANDLE handle, std::string name) : handle_(handle), name_(std::move(name)) {}
    ~Win32File() override { CloseHandle(handle_); }
    Win32File(const Win32File&) = delete;
    Win32File& operator=(const Win32File&) = delete;

    const std::string& name() const override { return name_; }

    std::uint64_t size() override {
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(handle_, &size)) {
            throw systemError(GetLastError(), "cannot read the file's size", name_);
        }
        return static_cast<std::uint64_t>(size.QuadPart);
    }

    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> into) override {
        std::size_t done = 0;
        while (done < into.size()) {
            OVERLAPPED at = overlappedAt(offset + done);
            DWORD got = 0;
            const auto asked = static_cast<DWORD>(std::min(into.size() - done, kMaxTransfer));
            if (!ReadFile(handle_, into.data() + done, asked, &got, &at)) {
                const DWORD error = GetLastError();
                if (error == ERROR_HANDLE_EOF) {
                    break;
                }
                throw systemError(error, "cannot read", name_);
            }
            if (got == 0) {
                break;
            }
            done += got;
        }
        return done;
    }

    void writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override {
        std::size_t done = 0;
        while (done < bytes.size()) {
            OVERLAPPED at = overlappedAt(offset + done);
            DWORD put = 0;
            const auto asked = static_cast<DWORD>(std::min(bytes.size() - done, kMaxTransfer));
            if (!WriteFile(handle_, bytes.data() + done, asked, &put, &at)) {
                throw systemError(GetLastError(), "cannot write", name_);
            }
            if (put == 0) {
                throw systemError(ERROR_DISK_FULL, "cannot write", name_);
            }
            done += put;
        }
    }

    void truncate(std::uint64_t size) override {
        FILE_END_OF_FILE_INFO end{};
        end.EndOfFile.QuadPart = position(size);
        if (!SetFileInformationByHandle(handle_, FileEndOfFileInfo, &end, sizeof end)) {
            throw systemError(GetLastError(), "cannot change the file's length", name_);
        }
    }

    void sync() override {
        if (!FlushFileBuffers(handle_)) {
            throw systemError(GetLastError(), "cannot flush the file to disk", name_);
        }
    }

private:
    LONGLONG position(std::uint64_t offset) const {
        if (offset > static_cast<std::uint64_t>(INT64_MAX)) {
            throw Error(ErrorNumber::BadRecordNumber, "position beyond any file").at(name_);
        }
        return static_cast<LONGLONG>(offset);
    }

    // A synchronous handle reads and writes at the offset an OVERLAPPED names.
    OVERLAPPED overlappedAt(std::uint64_t offset) const {
        const auto at = static_cast<std::uint64_t>(position(offset));
        OVERLAPPED overlapped{};
        overlapped.Offset = static_cast<DWORD>(at & 0xFFFFFFFFU);
        overlapped.OffsetHigh = static_cast<DWORD>(at >> 32);
        return overlapped;
    }

    HANDLE handle_;
    std::string name_;
};

bool isFolder(const std::filesystem::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A file's identity: the serial number of its volume and its 128-bit id there (ReFS ids do not fit the
// 64-bit index of older calls, which serves where the 128-bit one is not available).
struct FileIdentity {
    std::uint64_t volume = 0;
    std::array<unsigned char, 16> id{};
    bool operator==(const FileIdentity&) const = default;
};

std::optional<FileIdentity> identityOf(const std::filesystem::path& path) {
    // No read or write access is asked for, so the open succeeds whatever another program shares.
    const HANDLE handle = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::optional<FileIdentity> identity;
    FILE_ID_INFO idInfo{};
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileInformationByHandleEx(handle, FileIdInfo, &idInfo, sizeof idInfo)) {
        identity = FileIdentity{idInfo.VolumeSerialNumber, {}};
        std::memcpy(identity->id.data(), idInfo.FileId.Identifier, identity->id.size());
    } else if (GetFileInformationByHandle(handle, &info)) {
        identity = FileIdentity{info.dwVolumeSerialNumber, {}};
        const std::uint64_t index = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
        for (std::size_t i = 0; i < 8; ++i) {
            identity->id[i] = static_cast<unsigned char>(index >> (8 * i));
        }
    }
    CloseHandle(handle);
    return identity;
}

// A lock's own handle, asking only read access (enough for LockFileEx of either kind) and sharing reading
// and writing, so that it never stands in the way of the holder's other opens, nor of another program's.
// Byte-range locks on Windows are mandatory: a locked range refuses reads and writes through every other
// handle, the holder's too. So the lock covers one byte at the top of the 64-bit range, which no file
// reaches and no read or write touches; every program that locks these files locks that byte.
constexpr DWORD kLockedByteLow = 0xFFFFFFFEU;
constexpr DWORD kLockedByteHigh = 0x7FFFFFFFU;

class Win32Lock : public FileLock {
public:
    explicit Win32Lock(HANDLE handle) : handle_(handle) {}
    ~Win32Lock() override {
        if (locked_) {
            OVERLAPPED at = lockedByte();
            UnlockFileEx(handle_, 0, 1, 0, &at);
        }
        CloseHandle(handle_);
    }
    Win32Lock(const Win32Lock&) = delete;
    Win32Lock& operator=(const Win32Lock&) = delete;

    // Takes the lock if no one holds a conflicting one; false if someone does.
    bool tryLock(LockKind kind, const std::string& name) {
        OVERLAPPED at = lockedByte();
        const DWORD flags =
            LOCKFILE_FAIL_IMMEDIATELY | (kind == LockKind::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
        if (LockFileEx(handle_, flags, 0, 1, 0, &at)) {
            locked_ = true;
            return true;
        }
        const DWORD error = GetLastError();
        if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING) {
            return false;
        }
        throw systemError(error, "cannot lock the file", name);
    }

private:
    static OVERLAPPED lockedByte() {
        OVERLAPPED at{};
        at.Offset = kLockedByteLow;
        at.OffsetHigh = kLockedByteHigh;
        return at;
    }

    HANDLE handle_;
    bool locked_ = false;
};

// Opens a regular file with the access and sharing asked for; a folder, a device or a pipe is refused.
HANDLE openRegularFile(const std::filesystem::path& path, DWORD access, DWORD share, OpenMode mode) {
    const std::string name = PathText(path);
    const bool reading = mode == OpenMode::Read;
    const HANDLE handle =
        CreateFileW(path.c_str(), access, share, nullptr,
                    mode == OpenMode::CreateNew ? CREATE_NEW : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_SHARING_VIOLATION) {
            throw Error(ErrorNumber::PathAccess,
                        "is in use by another program (close the game client and try again)")
                .at(name);
        }
        // Windows refuses to open a folder as a file with "access denied"; say what the path names instead.
        if (error == ERROR_ACCESS_DENIED && isFolder(path)) {
            throw Error(ErrorNumber::PathAccess, "is not a regular file").at(name);
        }
        throw systemError(error, reading ? "cannot open for reading" : "cannot open for writing", name);
    }
    // Devices (NUL, CON, COM1) and pipes open like files but are none.
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        throw Error(ErrorNumber::PathAccess, "is not a regular file").at(name);
    }
    return handle;
}

}  // namespace

std::unique_ptr<RandomAccessFile> Win32FileSystem::open(const std::filesystem::path& path, OpenMode mode) {
    const DWORD access = mode == OpenMode::Read ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    return std::make_unique<Win32File>(openRegularFile(path, access, kShareMode, mode), PathText(path));
}

// LockFileEx cannot wait for a time, so the lock is tried again after a pause that doubles up to 20 ms.
std::unique_ptr<FileLock> Win32FileSystem::lock(const std::filesystem::path& path, LockKind kind,
                                                std::chrono::milliseconds wait) {
    const std::string name = PathText(path);
    auto held = std::make_unique<Win32Lock>(
        openRegularFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OpenMode::Read));
    WaitForLock([&] { return held->tryLock(kind, name); }, name, kind, wait);
    return held;
}

bool Win32FileSystem::exists(const std::filesystem::path& path) {
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return true;
    }
    // A file that another program holds without sharing may refuse even a look at its attributes.
    return GetLastError() == ERROR_SHARING_VIOLATION;
}

bool Win32FileSystem::sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    const std::optional<FileIdentity> first = identityOf(a);
    return first && first == identityOf(b);
}

void Win32FileSystem::rename(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        throw systemError(GetLastError(), "cannot replace the file", PathText(to));
    }
}

void Win32FileSystem::removeQuietly(const std::filesystem::path& path) noexcept {
    DeleteFileW(path.c_str());
}

// Nothing to do: Windows has no call that flushes a folder's entries (FlushFileBuffers takes a file or a
// whole volume, the latter for administrators only). None is needed either: the file systems journal their
// metadata, and rename() moves with MOVEFILE_WRITE_THROUGH, which returns only once the move is on the disk.
void Win32FileSystem::syncFolder(const std::filesystem::path&) {}

// A folder is refused before anything is written; a link (rare on Windows) is replaced itself.
std::filesystem::path Win32FileSystem::fileToReplace(const std::filesystem::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        throw Error(ErrorNumber::PathAccess, "names a folder, not a file").at(PathText(path));
    }
    return path;
}

std::int64_t Win32FileSystem::processId() {
    return static_cast<std::int64_t>(GetCurrentProcessId());
}

bool Win32FileSystem::processRuns(std::int64_t id) {
    if (id < 0 || id > static_cast<std::int64_t>(0xFFFFFFFFU)) {
        return false;
    }
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(id));
    if (process == nullptr) {
        // No such process is ERROR_INVALID_PARAMETER; anything else (access denied) is one that runs.
        return GetLastError() != ERROR_INVALID_PARAMETER;
    }
    DWORD code = 0;
    const bool ended = GetExitCodeProcess(process, &code) && code != STILL_ACTIVE;
    CloseHandle(process);
    return !ended;
}

}  // namespace keelwright
