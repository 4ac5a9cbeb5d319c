#include "model/NumberText.h"

#include <charconv>
#include <limits>

#include "model/Error.h"

namespace keelwright {
namespace {

constexpr int kMaxIntegerDigits = 18;  // 10^18 - 1 fits comfortably in 63 bits
constexpr std::uint64_t kLargestExact = 999'999'999'999'999'999ULL;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// 1 - 0.f for a fraction f without trailing zeros: "25" gives "75", "5" gives "5", "01" gives "99".
std::string complementFraction(const std::string& fraction) {
    std::string result = fraction;
    for (std::size_t i = 0; i + 1 < result.size(); ++i) {
        result[i] = static_cast<char>('9' - (result[i] - '0'));
    }
    result.back() = static_cast<char>('0' + (10 - (result.back() - '0')));
    return result;
}

std::string quoted(std::string_view text) {
    return QuoteInput(text);
}

// The value of "0x" and one or more hexadecimal digits, blanks around it allowed; empty for any other text.
std::optional<std::uint64_t> prefixedHex(std::string_view text) {
    text = trimBlanks(text);
    if (text.size() < 3 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) {
        return std::nullopt;
    }
    text.remove_prefix(2);
    while (text.size() > 1 && text.front() == '0') {
        text.remove_prefix(1);
    }
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (end != text.data() + text.size() || (ec != std::errc() && ec != std::errc::result_out_of_range)) {
        return std::nullopt;
    }
    return ec == std::errc() ? value : std::numeric_limits<std::uint64_t>::max();
}

std::int64_t roundedInRange(const Number& number, std::string_view text, std::string_view what,
                            std::int64_t low, std::int64_t high) {
    const std::optional<std::int64_t> rounded = number.roundHalfEven();
    if (!rounded || *rounded < low || *rounded > high) {
        throw Error(ErrorNumber::Overflow, std::string(what) + " " + quoted(text) + " is outside " +
                                               std::to_string(low) + " to " + std::to_string(high));
    }
    return *rounded;
}

std::string hexDigits(std::uint32_t value) {
    char buffer[8];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, 16);
    std::string digits(buffer, end);
    for (char& c : digits) {
        if (c >= 'a' && c <= 'f') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return digits;
}

}  // namespace

Number::Number(std::int64_t value) : negative_(value < 0) {
    // The magnitude of the most negative value is computed in unsigned arithmetic.
    integer_ = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    huge_ = integer_ > kLargestExact;
}

std::optional<Number> Number::parse(std::string_view text) {
    // Most texts are plain integers, which from_chars reads at once; it takes a "-" but no "+" or blank.
    std::int64_t plain = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data(), end, plain);
    if (ec == std::errc() && stop == end) {
        return Number(plain);
    }

    text = trimBlanks(text);
    Number number;
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        number.negative_ = text[pos] == '-';
        ++pos;
    }
    int digitCount = 0;
    int significantDigits = 0;
    for (; pos < text.size() && isDigit(text[pos]); ++pos) {
        ++digitCount;
        if (significantDigits == 0 && text[pos] == '0') {
            continue;
        }
        if (++significantDigits <= kMaxIntegerDigits) {
            number.integer_ = number.integer_ * 10 + static_cast<std::uint64_t>(text[pos] - '0');
        }
    }
    number.huge_ = significantDigits > kMaxIntegerDigits;
    if (pos < text.size() && text[pos] == '.') {
        const std::size_t fractionStart = ++pos;
        while (pos < text.size() && isDigit(text[pos])) {
            ++pos;
        }
        digitCount += static_cast<int>(pos - fractionStart);
        std::string_view fraction = text.substr(fractionStart, pos - fractionStart);
        while (!fraction.empty() && fraction.back() == '0') {
            fraction.remove_suffix(1);
        }
        number.fraction_ = fraction;
    }
    if (digitCount == 0 || pos != text.size()) {
        return std::nullopt;
    }
    if (number.isZero()) {
        number.negative_ = false;
    }
    return number;
}

int Number::compare(std::int64_t n) const {
    if (huge_) {
        return negative_ ? -1 : 1;
    }
    if (!negative_) {
        if (n < 0) {
            return 1;
        }
        const auto m = static_cast<std::uint64_t>(n);
        if (integer_ != m) {
            return integer_ > m ? 1 : -1;
        }
        return fraction_.empty() ? 0 : 1;
    }
    // This number is below zero.
    if (n >= 0) {
        return -1;
    }
    const std::uint64_t m = 0 - static_cast<std::uint64_t>(n);
    if (integer_ != m) {
        return integer_ > m ? -1 : 1;
    }
    return fraction_.empty() ? 0 : -1;
}

std::optional<std::int64_t> Number::roundHalfEven() const {
    if (huge_) {
        return std::nullopt;
    }
    std::uint64_t magnitude = integer_;
    if (!fraction_.empty()) {
        const char first = fraction_.front();
        const bool aboveHalf = first > '5' || (first == '5' && fraction_.size() > 1);
        const bool exactHalf = fraction_ == "5";
        if (aboveHalf || (exactHalf && magnitude % 2 == 1)) {
            ++magnitude;
        }
    }
    if (magnitude > kLargestExact) {
        return std::nullopt;  // 10^18: a 19-digit value, beyond every range, as a 19-digit input is
    }
    const auto signedMagnitude = static_cast<std::int64_t>(magnitude);
    return negative_ ? -signedMagnitude : signedMagnitude;
}

Number Number::minus(std::int32_t offset) const {
    if (huge_) {
        throw Error(ErrorNumber::Overflow, toText() + " is too large to move");
    }
    // With integer_ below 10^18 and a 32-bit offset, the integer arithmetic below cannot overflow.
    const auto whole = static_cast<std::int64_t>(integer_);
    Number result;
    if (!negative_) {
        const std::int64_t r = whole - offset;
        if (fraction_.empty() || r >= 0) {
            result = Number(r);
            result.fraction_ = fraction_;
        } else {
            // r + 0.f with r < 0 is -((-r - 1) + (1 - 0.f)).
            result = Number(-r - 1);
            result.negative_ = true;
            result.fraction_ = complementFraction(fraction_);
        }
    } else {
        // -(whole + 0.f) - offset is -((whole + offset) + 0.f).
        const std::int64_t t = whole + offset;
        if (fraction_.empty() || t >= 0) {
            result = Number(-t);
            if (!fraction_.empty()) {
                result.negative_ = true;
                result.fraction_ = fraction_;
            }
        } else {
            // -(t + 0.f) with t < 0 is (-t - 1) + (1 - 0.f).
            result = Number(-t - 1);
            result.fraction_ = complementFraction(fraction_);
        }
    }
    if (result.huge_) {
        // 10^18 or more: beyond the exact text of a number, as an input of that size is.
        throw Error(ErrorNumber::Overflow, toText() + " is too large to move by " + std::to_string(offset));
    }
    if (result.isZero()) {
        result.negative_ = false;
    }
    return result;
}

std::string Number::toText() const {
    if (huge_) {
        return negative_ ? "-1E18+" : "1E18+";  // only ever shown in error reasons
    }
    char buffer[24];
    char* first = buffer;
    if (negative_) {
        *first++ = '-';
    }
    const auto [end, ec] = std::to_chars(first, buffer + sizeof buffer, integer_);
    std::string text(buffer, end);
    if (!fraction_.empty()) {
        text += '.';
        text += fraction_;
    }
    return text;
}

Number ReadNumber(std::string_view text, std::string_view what) {
    std::optional<Number> number = Number::parse(text);
    if (!number) {
        throw Error(ErrorNumber::TypeMismatch, std::string(what) + " " + quoted(text) + " is not a number");
    }
    return *std::move(number);
}

std::int32_t ToInt32(std::string_view text, std::string_view what) {
    return ToInt32(ReadNumber(text, what), text, what);
}

std::int16_t ToInt16(std::string_view text, std::string_view what) {
    return static_cast<std::int16_t>(roundedInRange(ReadNumber(text, what), text, what,
                                                    std::numeric_limits<std::int16_t>::min(),
                                                    std::numeric_limits<std::int16_t>::max()));
}

std::int32_t ToInt32(const Number& number, std::string_view text, std::string_view what) {
    return static_cast<std::int32_t>(roundedInRange(number, text, what,
                                                    std::numeric_limits<std::int32_t>::min(),
                                                    std::numeric_limits<std::int32_t>::max()));
}

std::string NumberText(std::int64_t value) {
    char buffer[24];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, end);
}

std::uint16_t ToItemId(std::string_view text) {
    constexpr std::string_view kWhat = "item id";
    if (const std::optional<std::uint64_t> hex = prefixedHex(text)) {
        if (*hex > 0xFFFF) {
            throw Error(ErrorNumber::Overflow, std::string(kWhat) + " " + quoted(text) + " is above 0xFFFF");
        }
        return static_cast<std::uint16_t>(*hex);
    }
    return static_cast<std::uint16_t>(roundedInRange(ReadNumber(text, kWhat), text, kWhat,
                                                     std::numeric_limits<std::int16_t>::min(),
                                                     std::numeric_limits<std::uint16_t>::max()));
}

std::uint64_t ToFlagsWord(std::string_view text) {
    const std::string_view digits = trimBlanks(text);
    const bool hex = digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
    std::uint64_t value = 0;
    const char* first = digits.data() + (hex ? 2 : 0);
    const char* last = digits.data() + digits.size();
    const auto [end, ec] = std::from_chars(first, last, value, hex ? 16 : 10);
    if (first == last || end != last || (ec != std::errc() && ec != std::errc::result_out_of_range)) {
        throw Error(ErrorNumber::TypeMismatch,
                    "flags " + quoted(text) + " are not a whole number from 0 to 18446744073709551615");
    }
    if (ec == std::errc::result_out_of_range) {
        throw Error(ErrorNumber::Overflow, "flags " + quoted(text) + " do not fit 64 bits");
    }
    return value;
}

std::string Hex16(std::uint16_t value) {
    return hexDigits(value);
}

std::string Hex32(std::int32_t value) {
    return hexDigits(static_cast<std::uint32_t>(value));
}

std::string ItemIdHexForm(std::string_view itemId) {
    std::string form = "0";
    form += Hex16(ToItemId(itemId));
    return form;
}

}  // namespace keelwright
