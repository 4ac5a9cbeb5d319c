#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "mulfiles/FileSystem.h"
#include "render/ArtSource.h"
#include "uop/UopContainer.h"

namespace keelwright {

// The name of the artLegacyMUL.uop entry that holds art index `index` (0x4000 + ItemId for a static
// item): "build/artlegacymul/00016550.tga" for index 16550.
std::string ArtEntryName(std::uint32_t index);

// The static art of artLegacyMUL.uop, the UOP container (layout in UopLayout.h) that newer clients ship in
// place of art.mul and artidx.mul. The entry named ArtEntryName(0x4000 + ItemId) holds the same bytes as
// the item's entry in art.mul (layout in StaticArt.h), stored as is (compression 0) in the clients' files;
// a zlib-compressed entry is read too. No entry for the name means the item has no art. An entry whose
// data reaches outside the file, or whose lengths disagree, throws InvalidFileFormat naming the file, the
// item and the entry.
class UopArtSource : public ArtSource {
public:
    explicit UopArtSource(std::unique_ptr<RandomAccessFile> file);
    // Opens the file for reading and reads its table.
    UopArtSource(FileSystem& fileSystem, const std::filesystem::path& uop);

    std::optional<ArtEntry> staticEntry(std::uint16_t itemId) override;

private:
    UopContainer container_;
};

}  // namespace keelwright
