#include "render/TileData.h"

#include <algorithm>

#include "model/Error.h"
#include "model/NumberText.h"
#include "mulfiles/RecordLayout.h"
#include "mulfiles/TextFileRefusal.h"

namespace keelwright {
namespace {

struct Format {
    std::uint64_t landBytes;
    std::size_t recordBytes;
    std::size_t heightAt;
    std::size_t flagBytes;
};

constexpr Format kOldFormat{512 * (4 + 32 * 26), 37, 16, 4};
constexpr Format kNewFormat{512 * (4 + 32 * 30), 41, 20, 8};
constexpr std::uint64_t kNewFormatSize = 3'188'736;
constexpr std::size_t kGroupItems = 32;
constexpr std::size_t kItemIds = 65536;
constexpr std::uint64_t kBackground = 0x1;

}  // namespace

TileData TileData::read(RandomAccessFile& file) {
    const std::uint64_t size = file.size();
    TileData data;
    data.newFormat_ = size >= kNewFormatSize;
    const Format& format = data.newFormat_ ? kNewFormat : kOldFormat;
    if (size < format.landBytes) {
        RefuseTextFile(file, "a tiledata.mul");
        throw Error(ErrorNumber::InvalidFileFormat,
                    "not a tiledata.mul: its " + NumberText(static_cast<std::int64_t>(size)) +
                        " bytes do not hold the " + NumberText(static_cast<std::int64_t>(format.landBytes)) +
                        "-byte land section")
            .at(file.name());
    }
    // Only the groups that item ids can reach are read, whatever the file's size.
    const std::size_t groupBytes = 4 + kGroupItems * format.recordBytes;
    const auto bytes = static_cast<std::size_t>(
        std::min<std::uint64_t>(size - format.landBytes, kItemIds / kGroupItems * groupBytes));
    std::vector<std::uint8_t> section(bytes);
    if (file.readAt(format.landBytes, section) != bytes) {
        throw Error(ErrorNumber::InputPastEnd, "the file ended inside its static section").at(file.name());
    }
    for (std::size_t item = 0; item < kItemIds; ++item) {
        const std::size_t at = item / kGroupItems * groupBytes + 4 + item % kGroupItems * format.recordBytes;
        if (at + format.recordBytes > bytes) {
            break;
        }
        const std::uint64_t flags = format.flagBytes == 8 ? GetLittleEndian<std::uint64_t>(&section[at])
                                                          : GetLittleEndian<std::uint32_t>(&section[at]);
        data.statics_.push_back({section[at + format.heightAt], (flags & kBackground) != 0});
    }
    return data;
}

TileData TileData::read(FileSystem& fileSystem, const std::filesystem::path& path) {
    return read(*fileSystem.open(path, OpenMode::Read));
}

std::optional<StaticTileInfo> TileData::find(std::uint16_t itemId) const {
    if (itemId >= statics_.size()) {
        return std::nullopt;
    }
    return statics_[itemId];
}

void TileData::set(std::uint16_t itemId, StaticTileInfo info) {
    if (itemId >= statics_.size()) {
        statics_.resize(std::size_t{itemId} + 1);
    }
    statics_[itemId] = info;
}

}  // namespace keelwright
