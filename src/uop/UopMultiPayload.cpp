#include "uop/UopMultiPayload.h"

#include <string>

#include "model/Error.h"
#include "mulfiles/RecordLayout.h"

namespace keelwright {
namespace {

constexpr std::size_t kHeadBytes = 8;
constexpr std::size_t kTileBytes = 14;

// Reads little-endian fields in order; a read past the end fails naming the tile it was in.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    // The tile being read, from 1; 0 while reading the number and the count.
    void inTile(std::uint32_t tile) { tile_ = tile; }

    template <typename Int>
    Int next() {
        need(sizeof(Int));
        const Int value = GetLittleEndian<Int>(bytes_.data() + at_);
        at_ += sizeof(Int);
        return value;
    }
    void need(std::uint64_t count) const {
        if (count > left()) {
            const std::string where = tile_ == 0 ? "its head" : "tile " + std::to_string(tile_);
            throw Error(ErrorNumber::InvalidFileFormat,
                        "the multi payload (" + std::to_string(bytes_.size()) + " bytes) ends inside " +
                            where + ": " + std::to_string(count) + " bytes are needed at byte " +
                            std::to_string(at_));
        }
    }
    std::size_t left() const { return bytes_.size() - at_; }
    std::size_t at() const { return at_; }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
    std::uint32_t tile_ = 0;
};

}  // namespace

std::vector<std::uint8_t> UopMultiPayload::encode() const {
    std::size_t length = kHeadBytes;
    for (const UopTile& tile : tiles) {
        length += kTileBytes + tile.Parts.size() * 4;
    }
    std::vector<std::uint8_t> bytes(length);
    std::uint8_t* out = bytes.data();
    const auto put = [&out](auto value) {
        PutLittleEndian(out, value);
        out += sizeof(value);
    };
    put(number);
    put(static_cast<std::uint32_t>(tiles.size()));
    for (const UopTile& tile : tiles) {
        put(tile.ItemId);
        put(tile.X);
        put(tile.Y);
        put(tile.Z);
        put(tile.Flags);
        put(static_cast<std::uint32_t>(tile.Parts.size()));
        for (const std::uint32_t part : tile.Parts) {
            put(part);
        }
    }
    return bytes;
}

UopMultiPayload UopMultiPayload::decode(std::span<const std::uint8_t> bytes) {
    Reader in(bytes);
    UopMultiPayload payload;
    payload.number = in.next<std::uint32_t>();
    const auto count = in.next<std::uint32_t>();
    if (std::uint64_t{count} * kTileBytes > in.left()) {  // before the count sizes anything
        throw Error(ErrorNumber::InvalidFileFormat, "the multi payload counts " + std::to_string(count) +
                                                        " tiles at byte 4, but only " +
                                                        std::to_string(in.left()) + " bytes follow");
    }
    payload.tiles.reserve(count);
    for (std::uint32_t n = 1; n <= count; ++n) {
        in.inTile(n);
        UopTile tile;
        tile.ItemId = in.next<std::uint16_t>();
        tile.X = in.next<std::int16_t>();
        tile.Y = in.next<std::int16_t>();
        tile.Z = in.next<std::int16_t>();
        tile.Flags = in.next<std::uint16_t>();
        const auto parts = in.next<std::uint32_t>();
        in.need(std::uint64_t{parts} * 4);
        tile.Parts.resize(parts);
        for (std::uint32_t& part : tile.Parts) {
            part = in.next<std::uint32_t>();
        }
        payload.tiles.push_back(std::move(tile));
    }
    if (in.left() != 0) {
        throw Error(ErrorNumber::InvalidFileFormat,
                    "the multi payload goes on for " + std::to_string(in.left()) +
                        " bytes after its last tile, at byte " + std::to_string(in.at()));
    }
    return payload;
}

}  // namespace keelwright
