#include "render/UopArtSource.h"

#include <cstdio>

#include "model/Error.h"
#include "render/StaticArt.h"
#include "uop/UopNameHash.h"

namespace keelwright {
namespace {

// More than the largest entry the art layout allows (1023 x 2560 pixels in runs of 2 bytes each, a run's
// header and the row lookup), so a DecompressedLength above it is a lie, caught before any allocation.
constexpr std::uint64_t kArtPayloadLimit = 16ULL << 20;

}  // namespace

std::string ArtEntryName(std::uint32_t index) {
    char name[40];
    std::snprintf(name, sizeof name, "build/artlegacymul/%08u.tga", static_cast<unsigned>(index));
    return name;
}

UopArtSource::UopArtSource(std::unique_ptr<RandomAccessFile> file) : container_(std::move(file)) {}

UopArtSource::UopArtSource(FileSystem& fileSystem, const std::filesystem::path& uop)
    : container_(fileSystem, uop, OpenMode::Read) {}

std::optional<ArtEntry> UopArtSource::staticEntry(std::uint16_t itemId) {
    const UopContainer::Located* located =
        container_.find(UopNameHash(ArtEntryName(kStaticArtIndexBase + itemId)));
    if (located == nullptr) {
        return std::nullopt;
    }
    try {
        ArtEntry entry{container_.readPayload(*located, kArtPayloadLimit), container_.name(),
                       static_cast<std::uint64_t>(located->entry.Offset) +
                           static_cast<std::uint64_t>(located->entry.HeaderLength)};
        return entry;
    } catch (const Error& e) {
        throw Error(e.number(), DescribeItem(itemId) + ", " + e.reason()).at(e.file(), e.line());
    }
}

}  // namespace keelwright
