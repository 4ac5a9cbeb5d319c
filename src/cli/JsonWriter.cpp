#include "cli/JsonWriter.h"

#include <charconv>

namespace keelwright::cli {
namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

// The escape of a byte below 0x80 that cannot stand for itself in a JSON string, or nothing.
std::string_view shortEscape(unsigned char c) {
    switch (c) {
        case '"':
            return "\\\"";
        case '\\':
            return "\\\\";
        case '\b':
            return "\\b";
        case '\f':
            return "\\f";
        case '\n':
            return "\\n";
        case '\r':
            return "\\r";
        case '\t':
            return "\\t";
        default:
            return {};
    }
}

}  // namespace

JsonWriter& JsonWriter::beginObject() {
    beforeValue();
    out_.put('{');
    empty_.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::endObject() {
    empty_.pop_back();
    out_.put('}');
    return *this;
}

JsonWriter& JsonWriter::beginArray() {
    beforeValue();
    out_.put('[');
    empty_.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    empty_.pop_back();
    out_.put(']');
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
    beforeValue();
    string(name, false);
    out_.put(':');
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::number(std::int64_t value) {
    beforeValue();
    char digits[24];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
    out_.write(std::string_view(digits, static_cast<std::size_t>(end - digits)));
    return *this;
}

JsonWriter& JsonWriter::boolean(bool value) {
    beforeValue();
    out_.write(value ? "true" : "false");
    return *this;
}

JsonWriter& JsonWriter::null() {
    beforeValue();
    out_.write("null");
    return *this;
}

JsonWriter& JsonWriter::latin1(std::string_view bytes) {
    beforeValue();
    string(bytes, true);
    return *this;
}

JsonWriter& JsonWriter::utf8(std::string_view text) {
    beforeValue();
    string(text, false);
    return *this;
}

void JsonWriter::beforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!empty_.empty()) {
        if (!empty_.back()) {
            out_.put(',');
        }
        empty_.back() = false;
    }
}

void JsonWriter::string(std::string_view bytes, bool fromLatin1) {
    out_.put('"');
    std::size_t plain = 0;  // start of the run of bytes that stand for themselves
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        const bool control = c < 0x20;
        const bool high = c >= 0x80 && fromLatin1;
        if (!control && !high && c != '"' && c != '\\') {
            continue;
        }
        out_.write(bytes.substr(plain, i - plain));
        plain = i + 1;
        if (high) {
            // The character of that value in UTF-8: two bytes for 0x80 to 0xFF.
            out_.put(static_cast<char>(0xC0 | c >> 6));
            out_.put(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (const std::string_view escape = shortEscape(c); !escape.empty()) {
            out_.write(escape);
        } else {
            const char unicode[] = {'\\', 'u', '0', '0', kHexDigits[c >> 4], kHexDigits[c & 0xF]};
            out_.write(std::string_view(unicode, sizeof unicode));
        }
    }
    out_.write(bytes.substr(plain));
    out_.put('"');
}

}  // namespace keelwright::cli
