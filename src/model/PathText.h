#pragma once

#include <filesystem>
#include <string>

namespace keelwright {

// The path as UTF-8 text, for error messages and output, on every platform. path::string() would narrow a
// Windows path through the ANSI code page, which loses (or refuses) every character outside it.
std::string PathText(const std::filesystem::path& path);

}  // namespace keelwright
