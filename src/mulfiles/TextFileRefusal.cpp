#include "mulfiles/TextFileRefusal.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "model/Error.h"

namespace keelwright {
namespace {

constexpr std::string_view kLfsPointerStart = "version https://git-lfs";

// Printable ASCII, tabs and line ends. Every binary client file holds other bytes early on (the zero high
// bytes of small numbers, the -1 of a free slot), and a text file other than ASCII is rare enough here.
bool isText(std::uint8_t byte) {
    return (byte >= 0x20 && byte < 0x7F) || byte == '\t' || byte == '\n' || byte == '\r';
}

}  // namespace

std::optional<std::string> TextFileReason(RandomAccessFile& file, std::string_view wanted) {
    std::array<std::uint8_t, 512> start{};
    const std::size_t got = file.readAt(0, start);
    const auto read = std::span(start).first(got);
    if (std::string_view(reinterpret_cast<const char*>(read.data()), got).starts_with(kLfsPointerStart)) {
        return "is a Git LFS pointer, not the file itself (fetch it with git lfs pull)";
    }
    if (got == 0 || !std::all_of(read.begin(), read.end(), isText)) {
        return std::nullopt;
    }
    return "is a text file, not " + std::string(wanted);
}

void RefuseTextFile(RandomAccessFile& file, std::string_view wanted) {
    if (std::optional<std::string> reason = TextFileReason(file, wanted)) {
        throw Error(ErrorNumber::InvalidFileFormat, *reason).at(file.name());
    }
}

}  // namespace keelwright
