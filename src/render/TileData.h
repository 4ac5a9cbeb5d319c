#pragma once

// The static tiles of tiledata.mul, as far as the preview needs them. Integers are little-endian.
//
//   Land section first: 512 groups of (uint32 header + 32 records); the old format's land records are
//   26 bytes (428,032 bytes in all), the new format's 30 bytes (493,568).
//   Static section next: groups of (uint32 header + 32 records); static item n is record n % 32 of group
//   n / 32.
//     old format, 37-byte records: bytes 0-3 flags (uint32), byte 16 height (uint8)
//     new format, 41-byte records: bytes 0-7 flags (uint64), byte 20 height (uint8)
//   A file of 3,188,736 bytes or more is in the new format. Flag 0x1 marks a Background tile.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "mulfiles/FileSystem.h"

namespace keelwright {

// What tiledata.mul says of a static item.
struct StaticTileInfo {
    std::uint8_t Height = 0;
    bool Background = false;

    bool operator==(const StaticTileInfo&) const = default;
};

// The static items of a tiledata.mul: the height and Background flag of each item the file describes.
class TileData {
public:
    // No items at all; set() adds them.
    TileData() = default;

    // Reads the file's static section, in the format its size tells. Throws InvalidFileFormat naming the
    // file for one shorter than the old format's land section. A record the file cuts short is left out.
    static TileData read(RandomAccessFile& file);
    static TileData read(FileSystem& fileSystem, const std::filesystem::path& path);

    // The item's entry, or nothing when the file ends before it.
    std::optional<StaticTileInfo> find(std::uint16_t itemId) const;
    // Sets the entry of an item (and empty entries for the items before it that have none).
    void set(std::uint16_t itemId, StaticTileInfo info);

    // The number of static items described, from item 0 on.
    std::size_t size() const { return statics_.size(); }
    bool newFormat() const { return newFormat_; }

private:
    std::vector<StaticTileInfo> statics_;
    bool newFormat_ = false;
};

}  // namespace keelwright
