#include "clientfiles/ManifestDocument.h"

#include <span>

#include "model/PathText.h"
#include "mulfiles/AtomicFile.h"

namespace keelwright {
namespace {

std::string bytesOf(FileSystem& fileSystem, const std::filesystem::path& path) {
    const std::unique_ptr<RandomAccessFile> file = fileSystem.open(path, OpenMode::Read);
    std::string text(static_cast<std::size_t>(file->size()), '\0');
    file->readAt(0, std::span(reinterpret_cast<std::uint8_t*>(text.data()), text.size()));
    return text;
}

}  // namespace

ManifestDocument::ManifestDocument(FileSystem& fileSystem, std::filesystem::path path)
    : fileSystem_(fileSystem), path_(std::move(path)) {
    read();
}

void ManifestDocument::read() {
    text_ = bytesOf(fileSystem_, path_);
    manifest_.reset();
    error_.reset();
    try {
        manifest_ = ParseManifest(text_, PathText(path_), path_.parent_path());
    } catch (const Error& e) {
        error_ = e;
    }
}

bool ManifestDocument::changedOnDisk() const {
    try {
        return bytesOf(fileSystem_, path_) != text_;
    } catch (const Error&) {
        return true;  // gone or unreadable: read() says why
    }
}

void ManifestDocument::edit(const std::function<void(ManifestEditor&)>& change) {
    if (changedOnDisk()) {
        read();
        throw Error(ErrorNumber::InvalidCall,
                    "changed on disk since it was read; it has been read again, so check it and make the "
                    "change again")
            .at(PathText(path_));
    }
    if (error_) {
        throw *error_;
    }
    ManifestEditor editor(text_, PathText(path_));
    change(editor);
    ParseManifest(editor.text(), PathText(path_), path_.parent_path());
    WriteFileAtomically(fileSystem_, path_, editor.text());
    read();
}

std::string ManifestPathText(const std::filesystem::path& file, const std::filesystem::path& folder) {
    const std::filesystem::path whole = file.lexically_normal();
    const std::filesystem::path relative = whole.lexically_relative(folder.lexically_normal());
    const bool inside = !relative.empty() && *relative.begin() != ".." && relative.is_relative() &&
                        whole.is_absolute() == folder.is_absolute();
    const std::u8string text = (inside ? relative : whole).generic_u8string();
    return {text.begin(), text.end()};
}

std::string NewManifestText(const std::string& idx, const std::string& mul, const std::string& uop,
                            const std::string& scriptFormat) {
    std::string text =
        "# The shard's custom multis. Paths are relative to this file's folder.\r\n\r\n[client]\r\n";
    for (const auto& [key, value] : {std::pair{"idx", &idx}, {"mul", &mul}, {"uop", &uop}}) {
        if (!value->empty()) {
            text += std::string(key) + " = " + TomlString(*value) + "\r\n";
        }
    }
    if (!scriptFormat.empty()) {
        text += "\r\n[scripts]\r\nformat = " + TomlString(scriptFormat) +
                "\r\noutput = \"scripts/custom-multis.scp\"\r\n";
    }
    return text;
}

}  // namespace keelwright
