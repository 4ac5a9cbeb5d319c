#include "model/UoaLibrary.h"

#include <algorithm>
#include <optional>
#include <system_error>

#include "model/ByteReader.h"
#include "model/Error.h"
#include "model/NumberText.h"
#include "model/PathText.h"

namespace keelwright {
namespace {

constexpr std::size_t kSmallestEntryBytes = 3 + 4 * 4 + 8 + 4;  // three absent strings, the numbers
constexpr std::string_view kIndexName = "designs.idx";
constexpr std::string_view kDataName = "designs.bin";

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return text;
}

std::string count(std::size_t n) {
    return NumberText(static_cast<std::int64_t>(n));
}

UoaDesign readEntry(ByteReader& in, std::size_t position, std::size_t dataBytes) {
    const std::string of = " of design " + count(position);
    constexpr auto any = ByteReader::Presence::ZeroOrAny;
    UoaDesign design;
    design.name = in.string("the name" + of, any);
    design.category = in.string("the category" + of, any);
    design.subsection = in.string("the subsection" + of, any);
    for (std::int32_t* size : {&design.width, &design.height, &design.userWidth, &design.userHeight}) {
        *size = in.int32("the sizes" + of);
    }
    const std::size_t offsetAt = in.offset();
    const std::int64_t offset = in.int64("the offset" + of);
    if (offset < 0 || static_cast<std::uint64_t>(offset) > dataBytes) {
        in.fail(ErrorNumber::InvalidFileFormat, offsetAt,
                "the offset" + of + " is " + NumberText(offset) + ", outside Designs.bin (" +
                    count(dataBytes) + " bytes)");
    }
    design.firstTile = static_cast<std::size_t>(offset);
    const std::size_t countAt = in.offset();
    design.tileCount = in.int32("the record count" + of);
    const std::size_t fit = (dataBytes - design.firstTile) / UoaLibraryTile::kBytesVersion0;
    if (design.tileCount < 0 || static_cast<std::size_t>(design.tileCount) > fit) {
        in.fail(ErrorNumber::InvalidFileFormat, countAt,
                "the record count" + of + " is " + NumberText(design.tileCount) + ", but Designs.bin holds " +
                    count(fit) + " records at most from byte " + count(design.firstTile));
    }
    return design;
}

}  // namespace

bool IsUoaLibraryIndex(const std::filesystem::path& path) {
    return lowerCase(PathText(path.filename())) == kIndexName;
}

std::filesystem::path UoaLibraryDataOf(const std::filesystem::path& index) {
    // The name as the folder holds it, in its own letter case (a file system that ignores case would
    // answer to any spelling, and messages name the file as it is); "Designs.bin" first where a folder that
    // tells case apart holds several spellings.
    const std::filesystem::path folder = index.parent_path();
    std::optional<std::filesystem::path> found;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::filesystem::path name = it->path().filename();
        if (lowerCase(PathText(name)) == kDataName && (!found || PathText(name) == "Designs.bin")) {
            found = folder / name;
        }
    }
    if (found) {
        return *found;
    }
    throw Error(
        ErrorNumber::FileNotFound,
        "no Designs.bin beside it: a UO Architect design library is Designs.idx and Designs.bin, from "
        "the same Save folder")
        .at(PathText(index));
}

std::vector<UoaDesign> ReadUoaLibraryIndex(std::string_view index, const std::string& indexName,
                                           std::size_t dataBytes) {
    ByteReader in(index, indexName);
    const std::int32_t designs = in.int32("the design count");
    const std::int32_t version = in.int32("the index version");
    if (version != 0) {
        in.fail(
            ErrorNumber::InvalidFileFormat, 4,
            "index version " + NumberText(version) + ": expected a UO Architect Designs.idx of version 0");
    }
    if (designs < 0 || static_cast<std::size_t>(designs) > in.left() / kSmallestEntryBytes) {
        in.fail(ErrorNumber::InvalidFileFormat, 0,
                "the design count is " + NumberText(designs) + ", but the " + count(in.left()) +
                    " bytes after it hold " + count(in.left() / kSmallestEntryBytes) + " entries at most");
    }
    std::vector<UoaDesign> read;
    read.reserve(static_cast<std::size_t>(designs));
    for (std::size_t position = 1; position <= static_cast<std::size_t>(designs); ++position) {
        read.push_back(readEntry(in, position, dataBytes));
    }
    if (in.left() != 0) {
        in.fail(ErrorNumber::InvalidFileFormat, in.offset(),
                count(in.left()) + " bytes follow the last of the " + NumberText(designs) + " entries");
    }
    return read;
}

std::vector<UoaLibraryTile> ReadUoaLibraryTiles(std::string_view data, const std::string& dataName,
                                                const UoaDesign& design) {
    ByteReader in(data, dataName, design.firstTile);
    std::vector<UoaLibraryTile> tiles;
    // The count was checked against the bytes from the offset, so it sizes no more than they hold.
    tiles.reserve(static_cast<std::size_t>(design.tileCount));
    for (std::int32_t n = 1; n <= design.tileCount; ++n) {
        const std::string what = "record " + NumberText(n) + " of the design";
        UoaLibraryTile tile;
        tile.offset = in.offset();
        const std::int32_t version = in.int32(what);
        if (version != 0 && version != 1) {
            in.fail(ErrorNumber::InvalidFileFormat, tile.offset,
                    what + " has version " + NumberText(version) + ": expected 0 or 1");
        }
        in.need((version == 0 ? UoaLibraryTile::kBytesVersion0 : UoaLibraryTile::kBytesVersion1) - 4, what);
        for (std::int32_t* field : {&tile.itemId, &tile.x, &tile.y, &tile.z, &tile.level}) {
            *field = in.int32(what);
        }
        tile.hue = version == 1 ? in.int32(what) : 0;
        tiles.push_back(tile);
    }
    return tiles;
}

}  // namespace keelwright
