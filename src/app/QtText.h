#pragma once

#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

namespace keelwright {

// Paths go to the core as the file system spells them.
inline std::filesystem::path ToPath(const QString& text) { return std::filesystem::path(text.toStdU16String()); }

// The core's texts are single bytes; on screen each byte is the character of the same value (Latin-1).
inline QString FromBytes(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
inline std::string ToBytes(const QString& text) { return text.toLatin1().toStdString(); }

}  // namespace keelwright
