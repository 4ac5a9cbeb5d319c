#include "mulfiles/RecordFile.h"

#include <algorithm>
#include <limits>

#include "model/Error.h"
#include "model/NumberText.h"

namespace keelwright {

RecordFile::RecordFile(std::unique_ptr<RandomAccessFile> file) : file_(std::move(file)) {}

RecordFile::RecordFile(FileSystem& fileSystem, const std::filesystem::path& path, OpenMode mode)
    : file_(fileSystem.open(path, mode)) {}

RecordBytes RecordFile::read(std::int64_t record) {
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
    writeRecords(record, bytes);
}

void RecordFile::writeRecords(std::int64_t first, std::span<const std::uint8_t> bytes) {
    file_->writeAt(byteOffset(first), bytes);
}

std::int64_t RecordFile::wholeRecords() {
    return static_cast<std::int64_t>(file_->size() / kRecordSize);
}

std::uint64_t RecordFile::byteOffset(std::int64_t record) const {
    constexpr std::int64_t kHighest = std::numeric_limits<std::int64_t>::max() / kRecordSize;
    if (record < 1 || record > kHighest) {
        throw Error(ErrorNumber::BadRecordNumber, "record number " + NumberText(record) + " is out of range")
            .at(file_->name());
    }
    return static_cast<std::uint64_t>(record - 1) * kRecordSize;
}

}  // namespace keelwright
