#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "mulfiles/FileSystem.h"

namespace keelwright {

// A file replaced whole or not at all. The new file is created beside the target when the AtomicFile is
// made, so that a missing folder or one that cannot be written is found before the caller does its work;
// commit() then writes the bytes, flushes them to disk and renames the new file over the target. A file
// never committed is removed again and the target stays as it was. A target that is a link is replaced
// where the link points, so the link stays. The new file is ".NAME.keelwright-PID.tmp" beside the target,
// PID this process's id; making one first removes every such file in the folder whose process no longer
// runs, which a run killed before its commit left behind.
class AtomicFile {
public:
    // Creates the new, empty file. Throws BadFileName for an empty path, PathAccess for a folder and the
    // file system's error, naming the target, when the file cannot be created.
    AtomicFile(FileSystem& fileSystem, const std::filesystem::path& target);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Puts the bytes in place of the target; may be called once. Throws the file system's error, naming
    // the target, when they cannot be written, flushed or renamed; the target is then unchanged.
    void commit(std::string_view bytes);

private:
    FileSystem& fileSystem_;
    std::string name_;              // the target as the caller named it, for errors
    std::filesystem::path target_;  // the file to replace
    std::filesystem::path temporary_;
    std::unique_ptr<RandomAccessFile> file_;  // open until committed
};

// Writes a whole file or nothing through an AtomicFile.
void WriteFileAtomically(FileSystem& fileSystem, const std::filesystem::path& target, std::string_view bytes);

}  // namespace keelwright
