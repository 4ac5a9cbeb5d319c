#include "mulfiles/AtomicFile.h"

#include <memory>

#include "model/Error.h"
#include "model/PathText.h"

namespace keelwright {
namespace {

constexpr int kTemporaryNameAttempts = 100;

// A new, empty file beside the target whose name no other file has.
std::pair<std::filesystem::path, std::unique_ptr<RandomAccessFile>> createTemporary(
    FileSystem& fileSystem, const std::filesystem::path& target) {
    for (int attempt = 0;; ++attempt) {
        // Joined as paths, not as narrow text, so that a file name in any alphabet survives on Windows.
        std::filesystem::path name = ".";
        name += target.filename();
        name += ".keelwright-" + std::to_string(attempt) + ".tmp";
        std::filesystem::path temporary = target.parent_path() / name;
        try {
            return {temporary, fileSystem.open(temporary, OpenMode::CreateNew)};
        } catch (const Error& e) {
            if (attempt + 1 < kTemporaryNameAttempts && fileSystem.exists(temporary)) {
                continue;
            }
            throw Error(e.number(), e.reason()).at(PathText(target));
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
        throw Error(ErrorNumber::BadFileName, "names a folder, not a file").at(PathText(target));
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
