#include "model/Error.h"

namespace keelwright {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void appendHexByte(std::string& text, unsigned char byte) {
    text += "\\x";
    text += kHexDigits[byte >> 4];
    text += kHexDigits[byte & 0xF];
}

}  // namespace

// Control characters are escaped so that a name made to hold a terminal's escape sequence cannot reach the
// terminal.
std::string ShownFileName(std::string_view name) {
    std::string text;
    text.reserve(name.size());
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            appendHexByte(text, byte);
        } else {
            text += c;
        }
    }
    return text;
}

Error::Error(ErrorNumber number, std::string reason) : number_(number), reason_(std::move(reason)) {
    compose();
}

Error& Error::at(std::string file, std::int64_t line) {
    file_ = std::move(file);
    line_ = line;
    compose();
    return *this;
}

std::string Error::report() const {
    return std::to_string(static_cast<int>(number_)) + " " + description_;
}

void Error::compose() {
    description_.clear();
    if (!file_.empty()) {
        description_ = ShownFileName(file_);
        if (line_ > 0) {
            description_ += ':';
            description_ += std::to_string(line_);
        }
        description_ += ": ";
    }
    description_ += reason_;
}

std::string QuoteInput(std::string_view input) {
    const std::string_view shown = input.substr(0, kQuotedInputLength);
    std::string text = "\"";
    for (const char c : shown) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte > 0x7E) {
            appendHexByte(text, byte);
        } else {
            text += c;
        }
    }
    text += '"';
    if (shown.size() < input.size()) {
        text += "\xE2\x80\xA6";  // "…" in UTF-8
    }
    return text;
}

}  // namespace keelwright
