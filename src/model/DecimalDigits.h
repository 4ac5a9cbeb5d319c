#pragma once

#include <charconv>
#include <cstdint>
#include <string_view>

namespace keelwright {

// Decimal digits of a value into a buffer on the stack, so that storing a tile costs no allocation.
struct DecimalDigits {
    char buffer[12];  // "-2147483648"
    std::size_t size;
    explicit DecimalDigits(std::int32_t value) {
        size = static_cast<std::size_t>(std::to_chars(buffer, buffer + sizeof buffer, value).ptr - buffer);
    }
    std::string_view text() const { return {buffer, size}; }
};

}  // namespace keelwright
