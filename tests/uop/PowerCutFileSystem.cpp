#include "uop/PowerCutFileSystem.h"

#include "model/Error.h"

namespace keelwright::test {

class PowerCutFileSystem::File : public RandomAccessFile {
public:
    File(std::unique_ptr<RandomAccessFile> real, PowerCutFileSystem& owner, std::string key)
        : real_(std::move(real)), owner_(owner), key_(std::move(key)) {}
    const std::string& name() const override { return real_->name(); }
    std::uint64_t size() override { return real_->size(); }
    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> into) override {
        return real_->readAt(offset, into);
    }
    void writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override {
        powerOn();
        if (++owner_.writes_ == owner_.cutAt_) {
            owner_.off_ = true;
            owner_.cutIn_ = key_;
            real_->writeAt(offset, bytes.first(static_cast<std::size_t>(bytes.size() * owner_.part_)));
            powerOn();
        }
        real_->writeAt(offset, bytes);
    }
    void truncate(std::uint64_t size) override {
        powerOn();
        real_->truncate(size);
    }
    void sync() override { powerOn(); }

private:
    void powerOn() const {
        if (owner_.off_) {
            throw Error(ErrorNumber::DeviceIo, "the power is off").at(name());
        }
    }
    std::unique_ptr<RandomAccessFile> real_;
    PowerCutFileSystem& owner_;
    std::string key_;
};

std::unique_ptr<RandomAccessFile> PowerCutFileSystem::open(const std::filesystem::path& path, OpenMode mode) {
    return std::make_unique<File>(NativeFileSystem::open(path, mode), *this, path.filename().string());
}

}  // namespace keelwright::test
