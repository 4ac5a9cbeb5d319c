#include "uop/PowerCutFileSystem.h"

#include "model/Error.h"
#include "mulfiles/ForwardingFile.h"

namespace keelwright::test {

class PowerCutFileSystem::File : public ForwardingFile {
public:
    File(std::unique_ptr<RandomAccessFile> real, PowerCutFileSystem& owner, std::string key)
        : ForwardingFile(std::move(real)), owner_(owner), key_(std::move(key)) {}
    void writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override {
        powerOn();
        if (++owner_.writes_ == owner_.cutAt_) {
            owner_.off_ = true;
            owner_.cutIn_ = key_;
            inner().writeAt(offset, bytes.first(static_cast<std::size_t>(bytes.size() * owner_.part_)));
            powerOn();
        }
        inner().writeAt(offset, bytes);
    }
    void truncate(std::uint64_t size) override {
        powerOn();
        inner().truncate(size);
    }
    void sync() override { powerOn(); }

private:
    void powerOn() const {
        if (owner_.off_) {
            throw Error(ErrorNumber::DeviceIo, "the power is off").at(name());
        }
    }
    PowerCutFileSystem& owner_;
    std::string key_;
};

std::unique_ptr<RandomAccessFile> PowerCutFileSystem::open(const std::filesystem::path& path, OpenMode mode) {
    return std::make_unique<File>(NativeFileSystem::open(path, mode), *this, path.filename().string());
}

}  // namespace keelwright::test
