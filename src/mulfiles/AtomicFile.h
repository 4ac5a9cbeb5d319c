#pragma once

#include <filesystem>
#include <string_view>

#include "mulfiles/FileSystem.h"

namespace keelwright {

// Writes a whole file or nothing: the bytes go to a new file beside the target, are flushed to disk, and
// the new file is then renamed over the target (an existing file is replaced). Throws BadFileName for an
// empty path and the file system's error for a file that cannot be created, written or renamed; the
// temporary file is then removed and the target left as it was.
void WriteFileAtomically(FileSystem& fileSystem, const std::filesystem::path& target, std::string_view bytes);

}  // namespace keelwright
