#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>

#include "render/ArtSource.h"
#include "render/RgbaImage.h"

namespace keelwright {

// The pictures of static items from one art source, each read and decoded once, on first use.
class ArtLibrary {
public:
    explicit ArtLibrary(std::unique_ptr<ArtSource> source);

    // The item's picture, or null when the source has no art for it. The picture lives as long as the
    // library. Throws the source's Error, or InvalidFileFormat for an entry that does not decode, naming
    // the file, the item and the entry's byte.
    const RgbaImage* picture(std::uint16_t itemId);

private:
    std::unique_ptr<ArtSource> source_;
    std::unordered_map<std::uint16_t, std::optional<RgbaImage>> pictures_;
};

}  // namespace keelwright
