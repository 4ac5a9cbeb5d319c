#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "clientfiles/Manifest.h"
#include "clientfiles/ManifestEditor.h"
#include "model/Error.h"
#include "mulfiles/FileSystem.h"

namespace keelwright {

// A manifest file as a window keeps it open: the text read, the manifest it gives or the error that stops
// it parsing, and edits written back whole or not at all. An edit is made only to the text on disk: a file
// changed since it was read (an editor, a version-control pull) is read again and the edit refused, so that
// nothing the user wrote elsewhere is overwritten with stale content.
class ManifestDocument {
public:
    // Reads the manifest at `path`; a file that does not parse is kept with its error.
    ManifestDocument(FileSystem& fileSystem, std::filesystem::path path);

    const std::filesystem::path& path() const { return path_; }
    const std::string& text() const { return text_; }
    // The manifest read; null when the text does not parse, and error() then says where and why.
    const Manifest* manifest() const { return manifest_ ? &*manifest_ : nullptr; }
    const std::optional<Error>& error() const { return error_; }

    // Reads the file again. Throws Error when it cannot be read at all.
    void read();
    // Whether the file's bytes are no longer those read, or the file no longer reads.
    bool changedOnDisk() const;
    // Makes the change to the manifest's text and writes it whole, then reads it again. Throws Error, writing
    // nothing, when the file changed on disk since it was read (it is read again first), does not parse, or
    // would not parse after the change.
    void edit(const std::function<void(ManifestEditor&)>& change);

private:
    FileSystem& fileSystem_;
    std::filesystem::path path_;
    std::string text_;
    std::optional<Manifest> manifest_;
    std::optional<Error> error_;
};

// A path as a manifest in `folder` names it: relative where it lies inside the folder, else whole, with "/"
// between folders either way.
std::string ManifestPathText(const std::filesystem::path& file, const std::filesystem::path& folder);

// The text of a new manifest: a comment, [client] with the files given (paths as ManifestPathText writes
// them; empty ones left out) and, with a format, [scripts] writing scripts/custom-multis.scp. CR LF ends.
std::string NewManifestText(const std::string& idx, const std::string& mul, const std::string& uop,
                            const std::string& scriptFormat);

}  // namespace keelwright
