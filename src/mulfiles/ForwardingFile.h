#pragma once

#include <memory>

#include "mulfiles/RandomAccessFile.h"

namespace keelwright {

// A file that passes every call on to another one. Wrappers that watch or change a few calls (counting the
// bytes written, injecting a failure) derive from it and override only those.
class ForwardingFile : public RandomAccessFile {
public:
    explicit ForwardingFile(std::unique_ptr<RandomAccessFile> inner) : inner_(std::move(inner)) {}

    const std::string& name() const override { return inner_->name(); }
    std::uint64_t size() override { return inner_->size(); }
    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> into) override {
        return inner_->readAt(offset, into);
    }
    void writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override {
        inner_->writeAt(offset, bytes);
    }
    void truncate(std::uint64_t size) override { inner_->truncate(size); }
    void sync() override { inner_->sync(); }

protected:
    RandomAccessFile& inner() { return *inner_; }

private:
    std::unique_ptr<RandomAccessFile> inner_;
};

}  // namespace keelwright
