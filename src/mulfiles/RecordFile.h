#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

#include "mulfiles/FileSystem.h"
#include "mulfiles/RecordLayout.h"

namespace keelwright {

// A file of fixed records of 12 or 16 bytes, numbered from 1: record n lies at bytes (n - 1) * size. Bytes
// at or past the end of the file read as zeros, and writes past the end grow the file. A record number
// below 1 throws BadRecordNumber.
class RecordFile {
public:
    explicit RecordFile(std::unique_ptr<RandomAccessFile> file, RecordSize size = RecordSize::Twelve);
    // Opens the file at `path`; nothing is created unless `mode` is CreateNew.
    RecordFile(FileSystem& fileSystem, const std::filesystem::path& path, OpenMode mode,
               RecordSize size = RecordSize::Twelve);

    // Reads one record of a file of 12-byte records (Multi.idx); sets the at-end state when the file could
    // not give all 12 bytes. Throws InvalidCall for a file of another record size.
    RecordBytes read(std::int64_t record);
    // Reads whole records from `first` into `into` (a multiple of the record size) in one call; bytes past
    // the end read as zeros and set the at-end state. Returns the number of bytes the file gave.
    std::size_t readRecords(std::int64_t first, std::span<std::uint8_t> into);
    // True when the last read could not get everything it asked for; a read that ends exactly at the end
    // of the file leaves it false.
    bool atEnd() const { return atEnd_; }

    // Writes one record of a file of 12-byte records in place, growing the file where it lies at or past
    // the end. Throws InvalidCall for a file of another record size.
    void write(std::int64_t record, ConstRecordSpan bytes);
    // Writes whole records from `first` on in one call.
    void writeRecords(std::int64_t first, std::span<const std::uint8_t> bytes);

    // The size in bytes, a trailing partial record included.
    std::uint64_t size() { return file_->size(); }
    // The number of whole records; a trailing partial record is not counted.
    std::int64_t wholeRecords();
    // The record after the last whole one, where a new block of a data file begins.
    std::int64_t firstFreeRecord() { return wholeRecords() + 1; }
    // Returns once everything written is on the disk.
    void sync() { file_->sync(); }

    // Reads the whole file, a trailing partial record included.
    std::vector<std::uint8_t> readAll();

    RecordSize recordSize() const { return size_; }
    const std::string& name() const { return file_->name(); }
    RandomAccessFile& file() { return *file_; }

private:
    std::uint64_t byteOffset(std::int64_t record) const;
    void requireTwelveByteRecords() const;

    std::unique_ptr<RandomAccessFile> file_;
    RecordSize size_;
    bool atEnd_ = false;
};

}  // namespace keelwright
