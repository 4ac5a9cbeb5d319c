#pragma once

// The text readers' first check: a file that is no single-byte text (a binary file chosen by mistake, or
// text an editor saved as UTF-16) fails at once, instead of loading as lines of escaped bytes.

#include <string>
#include <string_view>

#include "model/ScriptReaders.h"

namespace keelwright {

// How many bytes from the start a NUL byte is looked for in.
inline constexpr std::size_t kBinaryProbeBytes = 4096;

// Throws InvalidFileFormat naming the file when a script of a text type (multi text, WSC, CSV) starts with
// a UTF-16 byte order mark or holds a NUL byte in its first kBinaryProbeBytes; does nothing for a binary
// type.
void RefuseNonText(std::string_view bytes, const std::string& fileName, ScriptType type);

}  // namespace keelwright
