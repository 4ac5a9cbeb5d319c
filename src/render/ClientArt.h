#pragma once

#include <filesystem>
#include <memory>
#include <optional>

#include "mulfiles/FileSystem.h"
#include "render/ArtLibrary.h"
#include "render/TileData.h"

namespace keelwright {

// The files of a client folder that the preview draws with.
struct ClientArt {
    std::unique_ptr<ArtLibrary> art;  // never null
    std::filesystem::path artFile;    // where the pictures come from: artLegacyMUL.uop or art.mul
    std::optional<TileData> tileData;
};

// Opens the art of a client folder: artLegacyMUL.uop when it is there (as current clients do), else art.mul
// with artidx.mul; and tiledata.mul when it is there. Throws FileNotFound naming the folder when it has no
// art, or naming the missing file when it has no UOP and only one of art.mul and artidx.mul; a file that
// cannot be read throws its own Error.
ClientArt OpenClientArt(FileSystem& fileSystem, const std::filesystem::path& folder);

}  // namespace keelwright
