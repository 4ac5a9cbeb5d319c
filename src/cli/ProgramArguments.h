#pragma once

// What the operating system hands the program: its arguments and where it lies. This is the one place of
// keelwright-cli where command-line text becomes paths and script text, so that it alone knows how each
// system passes them (bytes on POSIX, UTF-16 on Windows).

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace keelwright::cli {

// The program's arguments as UTF-8, the program's name first. On Windows they come from the wide command
// line, so that no character is lost to the ANSI code page.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// The path an argument names: its bytes unchanged on POSIX, its UTF-8 text as a wide path on Windows.
std::filesystem::path PathOfArgument(std::string_view argument);

// The code points of strict UTF-8 text; nothing for bytes that are not UTF-8 (a sequence cut short, an
// overlong form, a surrogate or a value past U+10FFFF).
std::optional<std::u32string> DecodeUtf8(std::string_view bytes);

// The folder of the running program file, where Components.txt lies; from argv[0] if the system cannot say.
std::filesystem::path ProgramFolder(std::string_view argv0);

}  // namespace keelwright::cli
