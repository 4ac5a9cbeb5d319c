#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

#include "mulfiles/FileSystem.h"

namespace keelwright {

// What a transaction wrote, over all its files: for the benchmarks and for the tests that count flushes.
struct WriteCounts {
    std::uint64_t bytes = 0;
    int writes = 0;
    int flushes = 0;
};

// A client file opened for one transaction, which keeps what each write replaces so that undo() can put the
// file back byte for byte: the old bytes back in the reverse order of their writing, then the file cut
// back to its first size, each step flushed.
class JournaledFile {
public:
    JournaledFile(FileSystem& fileSystem, const std::filesystem::path& path, WriteCounts& counts);

    RandomAccessFile& file() { return *file_; }
    // The size when the file was opened.
    std::uint64_t originalSize() const { return originalSize_; }
    // Whether anything was written.
    bool written() const { return !journal_.empty() || grown_; }

    // Writes the bytes at `offset`, after keeping the old bytes they replace within the first size.
    void write(std::uint64_t offset, std::span<const std::uint8_t> bytes);
    // Grows the file to `size` bytes in one step, before an append into the new space: a crash then leaves
    // the file the old length or the new, whatever part of the append reached the disk.
    void grow(std::uint64_t size);
    // Flushes what was written, when anything was since the last flush.
    void flush();
    // Puts the file back as it was opened. Throws when that fails.
    void undo();

private:
    struct Overwrite {
        std::uint64_t offset = 0;
        std::vector<std::uint8_t> oldBytes;
    };

    std::unique_ptr<RandomAccessFile> file_;
    WriteCounts& counts_;
    std::uint64_t originalSize_ = 0;
    std::vector<Overwrite> journal_;
    bool grown_ = false;
    bool unflushed_ = false;
};

}  // namespace keelwright
