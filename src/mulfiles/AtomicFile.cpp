#include "mulfiles/AtomicFile.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <system_error>

#include "model/Error.h"
#include "model/NumberText.h"
#include "model/PathText.h"

namespace keelwright {
namespace {

constexpr int kTemporaryNameAttempts = 100;
constexpr std::string_view kTemporaryMark = ".keelwright-";
constexpr std::string_view kTemporaryEnd = ".tmp";

bool allDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The process id that the name of a temporary file carries: ".NAME.keelwright-PID.tmp", or
// ".NAME.keelwright-PID-N.tmp" for the process's further files of one name; nothing for any other name.
std::optional<std::int64_t> ownerOf(std::string_view name) {
    const std::size_t mark = name.rfind(kTemporaryMark);
    if (name.size() < 2 || name[0] != '.' || !name.ends_with(kTemporaryEnd) ||
        mark == std::string_view::npos || mark == 0) {
        return std::nullopt;
    }
    const std::size_t from = mark + kTemporaryMark.size();
    if (from + kTemporaryEnd.size() > name.size()) {
        return std::nullopt;
    }
    const std::string_view tail = name.substr(from, name.size() - from - kTemporaryEnd.size());
    const std::string_view id = tail.substr(0, tail.find('-'));
    std::int64_t owner = 0;
    if (!allDigits(id) || (id.size() < tail.size() && !allDigits(tail.substr(id.size() + 1))) ||
        std::from_chars(id.data(), id.data() + id.size(), owner).ec != std::errc()) {
        return std::nullopt;
    }
    return owner;
}

// Removes the temporary files in the folder whose process no longer runs: what a run killed before its
// commit left. A folder that cannot be listed is left as it is; this is tidying, never a reason to fail.
void removeStaleTemporaries(FileSystem& fileSystem, const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::directory_iterator entry(folder.empty() ? std::filesystem::path(".") : folder, error);
    for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        const std::optional<std::int64_t> owner = ownerOf(PathText(entry->path().filename()));
        if (owner && *owner != fileSystem.processId() && !fileSystem.processRuns(*owner)) {
            fileSystem.removeQuietly(entry->path());
        }
    }
}

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
    removeStaleTemporaries(fileSystem_, target_.parent_path());
    const std::string owner = std::to_string(fileSystem_.processId());
    for (int attempt = 0;; ++attempt) {
        // Joined as paths, not as narrow text, so that a file name in any alphabet survives on Windows.
        std::filesystem::path name = ".";
        name += target_.filename();
        name += std::string(kTemporaryMark) + owner + (attempt == 0 ? "" : "-" + std::to_string(attempt)) +
                std::string(kTemporaryEnd);
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
