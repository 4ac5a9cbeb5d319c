#pragma once

#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

namespace keelwright {

class Error;

// Every conversion between the window's text and the core's paths and texts goes through these.

// The path a text names, as the file system spells it: wide characters on Windows, Qt's file name bytes
// (UTF-8) elsewhere.
std::filesystem::path ToPath(const QString& text);
// The text of a path, the reverse of ToPath.
QString FromPath(const std::filesystem::path& path);

// The core's messages (error descriptions, the paths in them as PathText gives them, the patch details) are
// UTF-8: input bytes in them are quoted and escaped, and "…" ends input cut short.
QString FromUtf8(std::string_view text);

// The texts the user types and the scripts made of them are single bytes; on screen each byte is the
// character of the same value (Latin-1).
QString FromBytes(std::string_view bytes);
std::string ToBytes(const QString& text);

// "house.txt:4: reason": the error with its file by its name alone, so that a status line has room for
// the reason.
QString ShortDescription(const Error& error);

// The first character of the text that has no Latin-1 byte, as "U+65E5 '日'"; empty text when every one has.
QString FirstNonLatin1(const QString& text);

}  // namespace keelwright
