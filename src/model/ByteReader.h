#pragma once

// Reads a binary file front to back, little-endian; every read checks that its bytes are there, so that no
// count or length in the file is trusted. Errors name the file and the byte offset.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/Error.h"

namespace keelwright {

class ByteReader {
public:
    // A string's presence byte: UO Architect's .uoa takes 0 and 1 alone, its design library any value.
    enum class Presence { ZeroOrOne, ZeroOrAny };

    ByteReader(std::string_view bytes, const std::string& fileName, std::size_t offset = 0)
        : bytes_(bytes), fileName_(fileName), offset_(offset) {}

    std::size_t offset() const { return offset_; }
    std::size_t left() const { return bytes_.size() - offset_; }

    // Throws `number` with "byte AT: REASON", naming the file.
    [[noreturn]] void fail(ErrorNumber number, std::size_t at, const std::string& reason) const;
    // Throws InputPastEnd when fewer than n bytes are left; `what` names what was being read.
    void need(std::size_t n, const std::string& what) const;

    std::uint8_t byte(const std::string& what);
    std::int16_t int16(const std::string& what);
    std::int32_t int32(const std::string& what);
    std::int64_t int64(const std::string& what);
    // A string as .NET's BinaryWriter writes it after a presence byte: its length in bytes as 7-bit groups
    // (low first, at most 5), then the bytes. Empty when absent.
    std::string string(const std::string& what, Presence presence = Presence::ZeroOrOne);
    void skip(std::size_t n) { offset_ += n; }

private:
    std::uint64_t little(std::size_t n, const std::string& what);

    std::string_view bytes_;
    const std::string& fileName_;
    std::size_t offset_ = 0;
};

}  // namespace keelwright
