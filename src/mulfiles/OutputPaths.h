#pragma once

#include <filesystem>

#include "mulfiles/FileSystem.h"

namespace keelwright {

// Whether writing `output` would replace `input`: the two paths are one once links and dot steps are
// resolved as far as the folders exist (so also while neither file exists yet), or they name one existing
// file (another link, a hard link). A command refuses such an output for every file it reads.
bool WouldReplace(FileSystem& fileSystem, const std::filesystem::path& output,
                  const std::filesystem::path& input);

}  // namespace keelwright
