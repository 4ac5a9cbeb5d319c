#include "mulfiles/AtomicFile.h"

#include <memory>

#include "model/Error.h"

namespace keelwright {
namespace {

constexpr int kTemporaryNameAttempts = 100;

// A new, empty file beside the target whose name no other file has.
std::pair<std::filesystem::path, std::unique_ptr<RandomAccessFile>> createTemporary(
    FileSystem& fileSystem, const std::filesystem::path& target) {
    const std::string stem = "." + target.filename().string() + ".keelwright-";
    for (int attempt = 0;; ++attempt) {
        std::filesystem::path temporary = target.parent_path() / (stem + std::to_string(attempt) + ".tmp");
        try {
            return {temporary, fileSystem.open(temporary, OpenMode::CreateNew)};
        } catch (const Error& e) {
            if (attempt + 1 < kTemporaryNameAttempts && fileSystem.exists(temporary)) {
                continue;
            }
            throw Error(e.number(), e.reason()).at(target.string());
        }
    }
}

}  // namespace

void WriteFileAtomically(FileSystem& fileSystem, const std::filesystem::path& target,
                         std::string_view bytes) {
    if (target.empty()) {
        throw Error(ErrorNumber::BadFileName, "no file name was given to write to");
    }
    if (!target.has_filename()) {
        throw Error(ErrorNumber::BadFileName, "names a folder, not a file").at(target.string());
    }
    auto [temporary, file] = createTemporary(fileSystem, target);
    try {
        file->writeAt(0, std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
        file->sync();
        file.reset();
        fileSystem.rename(temporary, target);
    } catch (const Error&) {
        file.reset();
        fileSystem.removeQuietly(temporary);
        throw;
    }
    fileSystem.syncFolder(target.parent_path());
}

}  // namespace keelwright
