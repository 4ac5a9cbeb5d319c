#include "mulfiles/MemoryFile.h"

#include <algorithm>

namespace keelwright::test {

std::size_t MemoryFile::readAt(std::uint64_t offset, std::span<std::uint8_t> into) {
    ++reads;
    if (offset >= bytes_.size()) {
        return 0;
    }
    const std::size_t got = std::min<std::size_t>(into.size(), bytes_.size() - offset);
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), got, into.begin());
    bytesRead += got;
    return got;
}

void MemoryFile::writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    if (offset + bytes.size() > bytes_.size()) {
        bytes_.resize(offset + bytes.size());
    }
    std::copy(bytes.begin(), bytes.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(offset));
}

}  // namespace keelwright::test
