#include "mulfiles/AtomicFile.h"

#include "model/Error.h"
#include "model/NumberText.h"
#include "model/PathText.h"

namespace keelwright {
namespace {

constexpr int kTemporaryNameAttempts = 100;

// The error of a failed write, naming the target the user gave rather than the temporary file. A write
// cut short (a full disk, a file-size limit) says how far it got.
Error writeError(const Error& cause, RandomAccessFile& file, std::size_t wanted, const std::string& target) {
    std::uint64_t written = 0;
    try {
        written = file.size();
    } catch (const Error&) {
        written = 0;
    }
    if (written > 0 && written < wanted) {
        return Error(cause.number(), "cannot write: only " + NumberText(static_cast<std::int64_t>(written)) +
                                         " of " + NumberText(static_cast<std::int64_t>(wanted)) +
                                         " bytes could be written")
            .at(target);
    }
    return Error(cause.number(), cause.reason()).at(target);
}

}  // namespace

AtomicFile::AtomicFile(FileSystem& fileSystem, const std::filesystem::path& target)
    : fileSystem_(fileSystem), name_(PathText(target)) {
    if (target.empty()) {
        throw Error(ErrorNumber::BadFileName, "no file name was given to write to");
    }
    if (!target.has_filename()) {
        throw Error(ErrorNumber::BadFileName, "names a folder, not a file").at(name_);
    }
    target_ = fileSystem_.fileToReplace(target);
    for (int attempt = 0;; ++attempt) {
        // Joined as paths, not as narrow text, so that a file name in any alphabet survives on Windows.
        std::filesystem::path name = ".";
        name += target_.filename();
        name += ".keelwright-" + std::to_string(attempt) + ".tmp";
        temporary_ = target_.parent_path() / name;
        try {
            file_ = fileSystem_.open(temporary_, OpenMode::CreateNew);
            return;
        } catch (const Error& e) {
            if (attempt + 1 < kTemporaryNameAttempts && fileSystem_.exists(temporary_)) {
                continue;
            }
            throw Error(e.number(), e.reason()).at(name_);
        }
    }
}

AtomicFile::~AtomicFile() {
    if (file_) {
        file_.reset();
        fileSystem_.removeQuietly(temporary_);
    }
}

void AtomicFile::commit(std::string_view bytes) {
    if (!file_) {
        throw Error(ErrorNumber::InvalidCall, "the file was committed already").at(name_);
    }
    try {
        try {
            file_->writeAt(0, std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
        } catch (const Error& e) {
            throw writeError(e, *file_, bytes.size(), name_);
        }
        file_->sync();
        file_.reset();
        fileSystem_.rename(temporary_, target_);
    } catch (const Error& e) {
        file_.reset();
        fileSystem_.removeQuietly(temporary_);
        throw Error(e.number(), e.reason()).at(name_);
    }
    fileSystem_.syncFolder(target_.parent_path());
}

void WriteFileAtomically(FileSystem& fileSystem, const std::filesystem::path& target,
                         std::string_view bytes) {
    AtomicFile(fileSystem, target).commit(bytes);
}

}  // namespace keelwright
