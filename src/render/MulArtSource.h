#pragma once

#include <filesystem>
#include <memory>

#include "mulfiles/FileSystem.h"
#include "render/ArtSource.h"

namespace keelwright {

// The static art of artidx.mul and art.mul (layout in StaticArt.h). An index shorter than a record, or an
// entry whose offset is below 0 or whose length is 0 or below, means the item has no art. An entry that
// reaches past the end of art.mul throws InvalidFileFormat naming artidx.mul, the item and the record's byte.
class MulArtSource : public ArtSource {
public:
    MulArtSource(std::unique_ptr<RandomAccessFile> index, std::unique_ptr<RandomAccessFile> data);
    // Opens both files for reading.
    MulArtSource(FileSystem& fileSystem, const std::filesystem::path& artIdx,
                 const std::filesystem::path& artMul);

    std::optional<ArtEntry> staticEntry(std::uint16_t itemId) override;

private:
    std::unique_ptr<RandomAccessFile> index_;
    std::unique_ptr<RandomAccessFile> data_;
    std::uint64_t indexSize_;
    std::uint64_t dataSize_;
};

}  // namespace keelwright
