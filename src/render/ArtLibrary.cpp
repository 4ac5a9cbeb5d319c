#include "render/ArtLibrary.h"

#include "model/Error.h"
#include "model/NumberText.h"
#include "render/StaticArt.h"

namespace keelwright {

ArtLibrary::ArtLibrary(std::unique_ptr<ArtSource> source) : source_(std::move(source)) {}

const RgbaImage* ArtLibrary::picture(std::uint16_t itemId) {
    if (const auto known = pictures_.find(itemId); known != pictures_.end()) {
        return known->second ? &*known->second : nullptr;
    }
    std::optional<RgbaImage> picture;
    if (const std::optional<ArtEntry> entry = source_->staticEntry(itemId)) {
        try {
            picture = DecodeStaticArt(entry->bytes, entry->offset);
        } catch (const Error& e) {
            throw Error(e.number(), DescribeItem(itemId) + ", art entry at byte " +
                                        NumberText(static_cast<std::int64_t>(entry->offset)) + ": " +
                                        e.reason())
                .at(entry->file);
        }
    }
    const auto stored = pictures_.emplace(itemId, std::move(picture)).first;
    return stored->second ? &*stored->second : nullptr;
}

}  // namespace keelwright
