#include "mulfiles/RecordFile.h"

#include <algorithm>
#include <limits>

#include "model/Error.h"
#include "model/NumberText.h"

namespace keelwright {

RecordFile::RecordFile(std::unique_ptr<RandomAccessFile> file, RecordSize size)
    : file_(std::move(file)), size_(size) {}

RecordFile::RecordFile(FileSystem& fileSystem, const std::filesystem::path& path, OpenMode mode,
                       RecordSize size)
    : file_(fileSystem.open(path, mode)), size_(size) {}

RecordBytes RecordFile::read(std::int64_t record) {
    requireTwelveByteRecords();
    RecordBytes bytes{};
    readRecords(record, bytes);
    return bytes;
}

std::size_t RecordFile::readRecords(std::int64_t first, std::span<std::uint8_t> into) {
    const std::size_t got = file_->readAt(byteOffset(first), into);
    std::fill(into.begin() + static_cast<std::ptrdiff_t>(got), into.end(), std::uint8_t{0});
    atEnd_ = got < into.size();
    return got;
}

void RecordFile::write(std::int64_t record, ConstRecordSpan bytes) {
    requireTwelveByteRecords();
    writeRecords(record, bytes);
}

void RecordFile::writeRecords(std::int64_t first, std::span<const std::uint8_t> bytes) {
    file_->writeAt(byteOffset(first), bytes);
}

std::int64_t RecordFile::wholeRecords() {
    return static_cast<std::int64_t>(file_->size() / BytesOf(size_));
}

std::vector<std::uint8_t> RecordFile::readAll() {
    std::vector<std::uint8_t> bytes(file_->size());
    if (file_->readAt(0, bytes) != bytes.size()) {
        throw Error(ErrorNumber::DeviceIo, "the file changed while it was read").at(name());
    }
    return bytes;
}

std::uint64_t RecordFile::byteOffset(std::int64_t record) const {
    const auto bytes = static_cast<std::int64_t>(BytesOf(size_));
    if (record < 1 || record > std::numeric_limits<std::int64_t>::max() / bytes) {
        throw Error(ErrorNumber::BadRecordNumber, "record number " + NumberText(record) + " is out of range")
            .at(file_->name());
    }
    return static_cast<std::uint64_t>(record - 1) * static_cast<std::uint64_t>(bytes);
}

void RecordFile::requireTwelveByteRecords() const {
    if (size_ != RecordSize::Twelve) {
        throw Error(ErrorNumber::InvalidCall, "single records are read and written in 12-byte files only")
            .at(file_->name());
    }
}

}  // namespace keelwright
