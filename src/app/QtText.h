#pragma once

#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

namespace keelwright {

// Paths go to the core as the file system spells them.
inline std::filesystem::path ToPath(const QString& text) {
    return std::filesystem::path(text.toStdU16String());
}

// The core's texts are single bytes; on screen each byte is the character of the same value (Latin-1).
inline QString FromBytes(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
inline std::string ToBytes(const QString& text) {
    return text.toLatin1().toStdString();
}

// The first character of the text that has no Latin-1 byte, as "U+65E5 '日'"; empty text when every one has.
inline QString FirstNonLatin1(const QString& text) {
    for (const char32_t c : text.toUcs4()) {
        if (c > 0xFF) {
            const QString code = QString::number(static_cast<uint>(c), 16).toUpper().rightJustified(4, '0');
            return "U+" + code + " '" + QString::fromUcs4(&c, 1) + "'";
        }
    }
    return {};
}

}  // namespace keelwright
