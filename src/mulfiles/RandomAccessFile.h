#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace keelwright {

// An open file read and written at byte offsets. Every failure throws Error naming the file. Tests put
// their own implementation behind this seam to make a file fail or fill up at a chosen byte.
class RandomAccessFile {
public:
    virtual ~RandomAccessFile() = default;

    // The file's path as errors name it.
    virtual const std::string& name() const = 0;
    // The file's size in bytes.
    virtual std::uint64_t size() = 0;
    // Reads into `into` from `offset`; fewer bytes only where the file ends. Returns the number read.
    virtual std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> into) = 0;
    // Writes every byte at `offset`, growing the file as needed. On failure part of the bytes may be written.
    virtual void writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) = 0;
    // Cuts the file to `size` bytes (or grows it with zeros).
    virtual void truncate(std::uint64_t size) = 0;
    // Returns once everything written so far is on the disk.
    virtual void sync() = 0;
};

}  // namespace keelwright
