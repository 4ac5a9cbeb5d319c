#include "model/UoaFile.h"

#include <algorithm>

#include "model/ByteReader.h"
#include "model/Error.h"
#include "model/NumberText.h"

namespace keelwright {
namespace {

constexpr std::int16_t kOneDesign = 1;
constexpr std::int16_t kDesignCollection = 2;

UoaDesign readDesign(ByteReader& in, std::int32_t position) {
    const std::string of = " of design " + NumberText(position);
    UoaDesign design;
    design.name = in.string("the name" + of);
    design.category = in.string("the category" + of);
    design.subsection = in.string("the subsection" + of);
    for (std::int32_t* size : {&design.width, &design.height, &design.userWidth, &design.userHeight}) {
        *size = in.int32("the sizes" + of);
    }
    const std::size_t countAt = in.offset();
    design.tileCount = in.int32("the tile count" + of);
    design.firstTile = in.offset();
    if (design.tileCount < 0) {
        in.fail(ErrorNumber::InvalidFileFormat, countAt,
                "the tile count" + of + " is " + NumberText(design.tileCount) + ", below 0");
    }
    const std::uint64_t tileBytes =
        std::uint64_t{static_cast<std::uint32_t>(design.tileCount)} * UoaTile::kBytes;
    if (tileBytes > in.left()) {
        in.fail(ErrorNumber::InputPastEnd, countAt,
                "the tile count" + of + " is " + NumberText(design.tileCount) + ", but " +
                    NumberText(static_cast<std::int64_t>(in.left())) + " bytes hold only " +
                    NumberText(static_cast<std::int64_t>(in.left() / UoaTile::kBytes)) + " tiles");
    }
    in.skip(static_cast<std::size_t>(tileBytes));
    return design;
}

}  // namespace

UoaTile UoaTile::decode(const char* bytes) {
    UoaTile tile;
    for (std::int16_t* field : tile.fields()) {
        const auto low = static_cast<std::uint8_t>(bytes[0]);
        const auto high = static_cast<std::uint8_t>(bytes[1]);
        *field = static_cast<std::int16_t>(static_cast<std::uint16_t>(low | high << 8));
        bytes += 2;
    }
    return tile;
}

void UoaTile::appendTo(std::string& out) const {
    for (const std::int16_t value : values()) {
        const auto bits = static_cast<std::uint16_t>(value);
        out += static_cast<char>(bits & 0xFF);
        out += static_cast<char>(bits >> 8);
    }
}

bool IsUoaBinary(std::string_view bytes) {
    if (bytes.size() < 2 || bytes[1] != 0) {
        return false;
    }
    return bytes[0] == kOneDesign || bytes[0] == kDesignCollection;
}

std::vector<UoaDesign> ReadUoaDesigns(std::string_view bytes, const std::string& fileName) {
    ByteReader in(bytes, fileName);
    const std::int16_t version = in.int16("the version");
    std::int32_t count = 1;
    if (version == kDesignCollection) {
        const std::size_t countAt = in.offset();
        count = in.int16("the design count");
        if (count < 1) {
            in.fail(ErrorNumber::InvalidFileFormat, countAt,
                    "the design count is " + NumberText(count) + ": expected 1 or more");
        }
    } else if (version != kOneDesign) {
        in.fail(ErrorNumber::InvalidFileFormat, 0,
                "version " + NumberText(version) + ": expected a UO Architect design file of version 1 or 2");
    }
    // Grows with the designs actually read, so a count beyond the bytes reserves nothing.
    std::vector<UoaDesign> designs;
    for (std::int32_t position = 1; position <= count; ++position) {
        designs.push_back(readDesign(in, position));
    }
    return designs;
}

std::string UoaFileBytes(std::string_view name, const std::vector<UoaTile>& tiles) {
    std::string out;
    out.reserve(64 + name.size() + tiles.size() * UoaTile::kBytes);
    const auto int32 = [&](std::int32_t value) {
        for (int shift = 0; shift < 32; shift += 8) {
            out += static_cast<char>(static_cast<std::uint32_t>(value) >> shift & 0xFF);
        }
    };
    out += static_cast<char>(kOneDesign);
    out += '\0';
    out += '\1';
    for (std::size_t length = name.size();; length >>= 7) {
        out += static_cast<char>((length & 0x7F) | (length > 0x7F ? 0x80 : 0));
        if (length <= 0x7F) {
            break;
        }
    }
    out += name;
    out += '\0';  // no category
    out += '\0';  // no subsection
    std::int32_t width = 0;
    std::int32_t height = 0;
    if (!tiles.empty()) {
        const auto [minX, maxX] = std::minmax_element(
            tiles.begin(), tiles.end(), [](const UoaTile& a, const UoaTile& b) { return a.x < b.x; });
        const auto [minY, maxY] = std::minmax_element(
            tiles.begin(), tiles.end(), [](const UoaTile& a, const UoaTile& b) { return a.y < b.y; });
        width = maxX->x - minX->x + 1;
        height = maxY->y - minY->y + 1;
    }
    for (const std::int32_t size : {width, height, width, height}) {
        int32(size);
    }
    int32(static_cast<std::int32_t>(tiles.size()));
    for (const UoaTile& tile : tiles) {
        tile.appendTo(out);
    }
    return out;
}

}  // namespace keelwright
