#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace keelwright {

// An exact decimal number read from text: an optional sign, decimal digits and an optional fraction.
// Values are never held in binary floating point, so no rounding noise can reach a text the tool writes.
class Number {
public:
    Number() = default;
    explicit Number(std::int64_t value);

    // Reads "[+|-]digits[.digits]" with blanks (spaces, tabs) around it; at least one digit is needed.
    static std::optional<Number> parse(std::string_view text);

    // -1, 0 or 1 as this number is below, equal to or above n.
    int compare(std::int64_t n) const;
    bool isZero() const { return !huge_ && integer_ == 0 && fraction_.empty(); }
    bool isWhole() const { return fraction_.empty(); }

    // The nearest integer, an exact half going to the even neighbour; empty when it has 19 or more digits.
    std::optional<std::int64_t> roundHalfEven() const;

    // This number minus a 32-bit offset, exactly. Throws Overflow when the number or the result has 19 or
    // more integer digits.
    Number minus(std::int32_t offset) const;

    // The shortest decimal form: "-" for negative values, no leading zeros, no trailing fraction zeros.
    std::string toText() const;

private:
    bool negative_ = false;  // never set for zero
    bool huge_ = false;      // 19 or more integer digits: beyond every range the tool converts to
    std::uint64_t integer_ = 0;
    std::string fraction_;  // digits after the point, without trailing zeros
};

// The conversions below throw Error: TypeMismatch for text that is not a number, Overflow for a value
// outside the target width. `what` names the value in the error's reason ("x", "item id", ...).
Number ReadNumber(std::string_view text, std::string_view what = "value");
std::int32_t ToInt32(std::string_view text, std::string_view what = "value");
std::int16_t ToInt16(std::string_view text, std::string_view what = "value");
std::int32_t ToInt32(const Number& number, std::string_view text, std::string_view what = "value");

// An item id: decimal number text from -32768 to 65535 (a negative value is its 16-bit two's complement, so
// -1 is FFFF), or "0x" and hexadecimal digits up to FFFF, the form other multi tools write. Blanks may
// surround either form. Throws as the conversions above do, naming the value "item id".
std::uint16_t ToItemId(std::string_view text);

// A whole flags word: unsigned decimal digits or "0x" and hexadecimal digits up to 64 bits, blanks around
// either. Throws TypeMismatch or Overflow naming the value "flags".
std::uint64_t ToFlagsWord(std::string_view text);

// Decimal digits of an integer: "-3", "0", "12".
std::string NumberText(std::int64_t value);

// Upper-case hexadecimal digits without leading zeros; negative values give their two's complement in
// the type's width ("FFFD" for -3 as 16 bits).
std::string Hex16(std::uint16_t value);
std::string Hex32(std::int32_t value);

// The form in which the components list names an item: "0" followed by Hex16 of ToItemId ("026E" for 622).
std::string ItemIdHexForm(std::string_view itemId);

}  // namespace keelwright
