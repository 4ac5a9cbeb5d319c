#include "clientfiles/JournaledFile.h"

#include <algorithm>

#include "model/Error.h"
#include "model/NumberText.h"

namespace keelwright {

JournaledFile::JournaledFile(FileSystem& fileSystem, const std::filesystem::path& path, WriteCounts& counts)
    : file_(fileSystem.open(path, OpenMode::ReadWrite)), counts_(counts), originalSize_(file_->size()) {}

void JournaledFile::write(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    if (offset < originalSize_) {
        Overwrite old{offset, std::vector<std::uint8_t>(static_cast<std::size_t>(
                                  std::min<std::uint64_t>(bytes.size(), originalSize_ - offset)))};
        if (file_->readAt(offset, old.oldBytes) != old.oldBytes.size()) {
            throw Error(ErrorNumber::InputPastEnd, "the bytes at " +
                                                       NumberText(static_cast<std::int64_t>(offset)) +
                                                       " could not be read before writing them")
                .at(file_->name());
        }
        journal_.push_back(std::move(old));
    }
    grown_ = grown_ || offset + bytes.size() > originalSize_;
    unflushed_ = true;
    ++counts_.writes;
    counts_.bytes += bytes.size();
    file_->writeAt(offset, bytes);
}

void JournaledFile::grow(std::uint64_t size) {
    if (size <= file_->size()) {
        return;
    }
    grown_ = true;
    unflushed_ = true;
    file_->truncate(size);
}

void JournaledFile::flush() {
    if (unflushed_) {
        ++counts_.flushes;
        file_->sync();
        unflushed_ = false;
    }
}

void JournaledFile::undo() {
    // Each step flushed before the next, the last write first: a pointer goes back before what it points at.
    for (auto old = journal_.rbegin(); old != journal_.rend(); ++old) {
        file_->writeAt(old->offset, old->oldBytes);
        file_->sync();
    }
    if (grown_) {
        file_->truncate(originalSize_);
        file_->sync();
    }
    journal_.clear();
    grown_ = false;
    unflushed_ = false;
}

}  // namespace keelwright
