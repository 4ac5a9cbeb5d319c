#pragma once

#include <filesystem>
#include <string_view>

#include "mulfiles/AtomicFile.h"
#include "mulfiles/NativeFileSystem.h"

namespace keelwright::cli {

// A scripts output file that is opened before the work and replaced only when the text is committed. Opening
// creates the new file beside the target, so a folder that is missing or cannot be written is found before
// anything else changes; a file that is never committed leaves an earlier file of that name as it was.
class ScriptsFile {
public:
    // Throws Error, "FILE: cannot write the scripts: ...", when the new file cannot be created.
    explicit ScriptsFile(const std::filesystem::path& path);

    // Writes the whole text and puts it in place of the target. Throws Error on failure; a write cut short
    // says how many bytes it wrote.
    void commit(std::string_view text);

private:
    NativeFileSystem fileSystem_;
    AtomicFile file_;
};

}  // namespace keelwright::cli
