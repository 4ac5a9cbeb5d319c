#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "mulfiles/RandomAccessFile.h"

namespace keelwright::test {

// A file held in memory, so that readers run without a disk; it counts what was read from it.
class MemoryFile : public RandomAccessFile {
public:
    explicit MemoryFile(std::string bytes, std::string name = "Multi.mul")
        : bytes_(std::move(bytes)), name_(std::move(name)) {}
    static std::unique_ptr<RandomAccessFile> Make(std::string name, const std::vector<std::uint8_t>& bytes) {
        return std::make_unique<MemoryFile>(std::string(bytes.begin(), bytes.end()), std::move(name));
    }

    const std::string& name() const override { return name_; }
    std::uint64_t size() override { return bytes_.size(); }
    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> into) override;
    void writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override;
    void truncate(std::uint64_t size) override { bytes_.resize(size); }
    void sync() override {}

    const std::string& bytes() const { return bytes_; }
    int reads = 0;
    std::uint64_t bytesRead = 0;

private:
    std::string bytes_;
    std::string name_;
};

}  // namespace keelwright::test
