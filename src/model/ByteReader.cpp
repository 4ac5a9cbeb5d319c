#include "model/ByteReader.h"

#include "model/NumberText.h"

namespace keelwright {
namespace {

constexpr int kMaxLengthBytes = 5;  // 7-bit groups of a 32-bit length

std::string sizeText(std::size_t n) {
    return NumberText(static_cast<std::int64_t>(n));
}

}  // namespace

void ByteReader::fail(ErrorNumber number, std::size_t at, const std::string& reason) const {
    throw Error(number, "byte " + sizeText(at) + ": " + reason).at(fileName_);
}

void ByteReader::need(std::size_t n, const std::string& what) const {
    if (left() < n) {
        fail(ErrorNumber::InputPastEnd, offset_,
             "the file ends inside " + what + " (" + sizeText(n) + " bytes needed, " + sizeText(left()) +
                 " left)");
    }
}

std::uint64_t ByteReader::little(std::size_t n, const std::string& what) {
    need(n, what);
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < n; ++i) {
        value |= std::uint64_t{static_cast<std::uint8_t>(bytes_[offset_ + i])} << (8 * i);
    }
    offset_ += n;
    return value;
}

std::uint8_t ByteReader::byte(const std::string& what) {
    return static_cast<std::uint8_t>(little(1, what));
}

std::int16_t ByteReader::int16(const std::string& what) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(little(2, what)));
}

std::int32_t ByteReader::int32(const std::string& what) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(little(4, what)));
}

std::int64_t ByteReader::int64(const std::string& what) {
    return static_cast<std::int64_t>(little(8, what));
}

std::string ByteReader::string(const std::string& what, Presence presence) {
    const std::size_t at = offset_;
    const std::uint8_t present = byte(what);
    if (present == 0) {
        return {};
    }
    if (present != 1 && presence == Presence::ZeroOrOne) {
        fail(ErrorNumber::InvalidFileFormat, at,
             what + " begins with " + NumberText(present) + ": expected 0 (no string) or 1 (a string)");
    }
    const std::size_t lengthAt = offset_;
    std::uint64_t length = 0;
    for (int group = 0;; ++group) {
        if (group == kMaxLengthBytes) {
            fail(ErrorNumber::InvalidFileFormat, lengthAt, "the length of " + what + " runs past 5 bytes");
        }
        const std::uint8_t b = byte("the length of " + what);
        length |= std::uint64_t{b & 0x7Fu} << (7 * group);
        if ((b & 0x80) == 0) {
            break;
        }
    }
    if (length > left()) {
        fail(ErrorNumber::InputPastEnd, lengthAt,
             what + " is " + NumberText(static_cast<std::int64_t>(length)) + " bytes long, but only " +
                 sizeText(left()) + " bytes follow");
    }
    std::string text(bytes_.substr(offset_, static_cast<std::size_t>(length)));
    offset_ += static_cast<std::size_t>(length);
    return text;
}

}  // namespace keelwright
