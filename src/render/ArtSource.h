#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace keelwright {

// The bytes of one static art entry (layout in StaticArt.h) and where they lie, for errors to name.
struct ArtEntry {
    std::vector<std::uint8_t> bytes;
    std::string file;          // the file the entry was read from
    std::uint64_t offset = 0;  // the byte of that file where the entry begins
};

// Where the pictures of static items come from: art.mul with artidx.mul, or the UOP container that newer
// clients ship instead. Each source checks its own index; DecodeStaticArt checks the entry.
class ArtSource {
public:
    virtual ~ArtSource() = default;

    // The entry of the static item, or nothing when the files have none for it. Throws Error naming the
    // file, the item and the offset when the files point outside themselves or cannot be read.
    virtual std::optional<ArtEntry> staticEntry(std::uint16_t itemId) = 0;
};

// "item 166 (0x00A6)", as errors name an item.
std::string DescribeItem(std::uint16_t itemId);

}  // namespace keelwright
