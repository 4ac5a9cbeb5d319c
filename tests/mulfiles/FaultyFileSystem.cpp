#include "mulfiles/FaultyFileSystem.h"

#include "model/Error.h"
#include "mulfiles/ForwardingFile.h"

namespace keelwright::test {
namespace {

class FaultyFile : public ForwardingFile {
public:
    FaultyFile(std::unique_ptr<RandomAccessFile> real, FaultyFileSystem& owner, std::string key)
        : ForwardingFile(std::move(real)), owner_(owner), key_(std::move(key)) {}

    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> into) override {
        const std::size_t read = inner().readAt(offset, into);
        owner_.bytesRead[key_] += read;
        return read;
    }

    void writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override {
        const FileFaults faults = faultsOf();
        const int number = ++owner_.writes[key_];
        if (number == faults.failingWrite) {
            inner().writeAt(offset, bytes.first(bytes.size() / 2));
            throw Error(ErrorNumber::DeviceIo, "injected write failure").at(name());
        }
        if (faults.capacity && offset + bytes.size() > *faults.capacity) {
            const std::uint64_t room = offset < *faults.capacity ? *faults.capacity - offset : 0;
            inner().writeAt(offset, bytes.first(static_cast<std::size_t>(room)));
            throw Error(ErrorNumber::DiskFull, "injected full disk").at(name());
        }
        inner().writeAt(offset, bytes);
    }

    void sync() override {
        if (++owner_.syncs[key_] == faultsOf().failingSync) {
            throw Error(ErrorNumber::DeviceIo, "injected flush failure").at(name());
        }
        inner().sync();
    }

private:
    FileFaults faultsOf() const {
        const auto found = owner_.faults.find(key_);
        return found == owner_.faults.end() ? FileFaults{} : found->second;
    }

    FaultyFileSystem& owner_;
    std::string key_;
};

}  // namespace

std::unique_ptr<RandomAccessFile> FaultyFileSystem::open(const std::filesystem::path& path, OpenMode mode) {
    const std::string key = path.filename().string();
    const auto found = faults.find(key);
    if (mode != OpenMode::Read && found != faults.end() && found->second.refuseWriting) {
        throw Error(ErrorNumber::PathAccess, "cannot open for writing: injected refusal").at(path.string());
    }
    return std::make_unique<FaultyFile>(NativeFileSystem::open(path, mode), *this, key);
}

std::unique_ptr<FileLock> FaultyFileSystem::lock(const std::filesystem::path& path, LockKind kind,
                                                 std::chrono::milliseconds wait) {
    const auto found = faults.find(path.filename().string());
    if (found != faults.end() && found->second.lockedElsewhere) {
        throw LockedFileError(path.string(), kind, wait);
    }
    return NativeFileSystem::lock(path, kind, wait);
}

}  // namespace keelwright::test
