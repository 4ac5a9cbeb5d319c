// Writes the example client art of examples/art: artidx.mul and art.mul with pictures of our own making for
// the items of the example house, artLegacyMUL.uop with the same entries, and a small tiledata.mul (old
// format) with their heights.
//
//   keelwright-make-art-examples examples/art
//
// The pictures are drawn in code: timber walls (166 a corner, 167 along x, 168 along y), a plank floor
// (1193), a door in a timber wall (1709) and a hanging sign (3026).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "model/Error.h"
#include "model/PathText.h"
#include "mulfiles/NativeFileSystem.h"
#include "mulfiles/RecordLayout.h"
#include "render/UopArtSource.h"
#include "uop/UopNameHash.h"
#include "uop/UopWriter.h"

namespace {

using keelwright::PutLittleEndian;

// A picture as the art files hold it: RGB555 pixels, 0 transparent.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint16_t> pixels;

    Picture(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w * h), 0) {}
    void set(int x, int y, std::uint16_t pixel) {
        if (x >= 0 && y >= 0 && x < width && y < height) {
            pixels[static_cast<std::size_t>(y * width + x)] = pixel;
        }
    }
};

// RGB555 of an 8-bit colour; never 0, which would be transparent.
std::uint16_t rgb(int r, int g, int b) {
    const auto pixel = static_cast<std::uint16_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
    return pixel == 0 ? std::uint16_t{0x0421} : pixel;
}

// A colour made darker or lighter by percent.
std::uint16_t shade(int r, int g, int b, int percent) {
    const auto channel = [percent](int v) { return std::min(255, v * percent / 100); };
    return rgb(channel(r), channel(g), channel(b));
}

// A fixed pseudo-random number 0-99 for a pixel: grain that is the same on every run.
int grain(int x, int y, int seed) {
    unsigned h = static_cast<unsigned>(x * 73856093) ^ static_cast<unsigned>(y * 19349663) ^
                 static_cast<unsigned>(seed * 83492791);
    h ^= h >> 13;
    h *= 0x5bd1e995U;
    h ^= h >> 15;
    return static_cast<int>(h % 100);
}

constexpr int kWidth = 44;

// d: half the height of the diamond's column i, 0 at the outer columns, 21 at the middle two.
int halfOf(int i) {
    return i < kWidth / 2 ? i : kWidth - 1 - i;
}

// Where a face pixel lies: column i, and row r counted down from the face's top edge.
using FacePainter = std::function<std::uint16_t(int i, int r)>;
using TopPainter = std::function<std::uint16_t(int i, int y)>;

// A block of a tile's size: the diamond top, the left face (facing +y) and the right face (facing +x),
// `side` pixels tall.
Picture block(int side, const TopPainter& top, const FacePainter& left, const FacePainter& right) {
    Picture picture(kWidth, 44 + side);
    for (int i = 0; i < kWidth; ++i) {
        const int d = halfOf(i);
        for (int y = 21 - d; y <= 22 + d; ++y) {
            picture.set(i, y, top(i, y));
        }
        for (int r = 0; r < side; ++r) {
            picture.set(i, 23 + d + r, i < kWidth / 2 ? left(i, r) : right(i, r));
        }
    }
    return picture;
}

// Round logs lying along a face: bands 10 pixels tall, lit in the middle, dark at the seams.
std::uint16_t logs(int i, int r, int light, int seed) {
    const int band = r % 10;
    const int round = band == 0 || band == 9 ? 55 : band == 1 || band == 8 ? 75 : band < 5 ? 92 + band : 100;
    const int knot = grain(i, r / 10, seed) < 4 && band > 2 && band < 7 ? -25 : 0;
    const int percent = (round + knot + grain(i, r, seed) % 7) * light / 100;
    return shade(150, 100, 58, percent);
}

// The sawn ends of the logs: lighter wood with a dark rim at the seams.
std::uint16_t logEnds(int i, int r, int light) {
    const int band = r % 10;
    const int percent = (band == 0 || band == 9 ? 60 : 100 + grain(i, r, 3) % 6) * light / 100;
    return shade(196, 152, 98, percent);
}

// The top of a wall: sawn timber seen from above.
std::uint16_t wallTop(int i, int y) {
    const int d = halfOf(i);
    const bool rim = y == 21 - d || y == 22 + d;
    return shade(204, 164, 110, rim ? 70 : 100 + grain(i, y, 5) % 8);
}

Picture wall(bool logsLeft, bool logsRight, bool cornerPost) {
    const int side = 80;
    const FacePainter left = [=](int i, int r) {
        if (cornerPost && i >= kWidth / 2 - 4) {
            return shade(110, 70, 40, 95 + grain(i, r, 9) % 6);
        }
        return logsLeft ? logs(i, r, 90, 1) : logEnds(i, r, 90);
    };
    const FacePainter right = [=](int i, int r) {
        if (cornerPost && i < kWidth / 2 + 4) {
            return shade(110, 70, 40, 72 + grain(i, r, 9) % 6);
        }
        return logsRight ? logs(i, r, 70, 2) : logEnds(i, r, 70);
    };
    return block(side, wallTop, left, right);
}

// A timber wall along x with a plank door in the face that looks to +y (the viewer's left).
Picture door() {
    const int side = 80;
    const FacePainter left = [](int i, int r) {
        const bool inDoor = i >= 5 && i <= 18 && r >= 18;
        const bool frame = inDoor && (i == 5 || i == 18 || r == 18);
        if (!inDoor) {
            return logs(i, r, 90, 4);
        }
        if (frame) {
            return shade(70, 44, 26, 100);
        }
        if (i == 15 && (r == 50 || r == 51)) {
            return rgb(210, 200, 150);  // the handle
        }
        if (r == 30 || r == 64) {
            return shade(60, 60, 64, 100);  // iron bands
        }
        return shade(118, 62, 34, (i - 5) % 4 == 0 ? 75 : 100 + grain(i, r, 6) % 6);
    };
    const FacePainter right = [](int i, int r) { return logEnds(i, r, 70); };
    return block(side, wallTop, left, right);
}

// Floor boards lying along x: planks 6 pixels across with dark seams and a little grain.
Picture floorBoards() {
    const TopPainter top = [](int i, int y) {
        const int across = y - i + kWidth;  // constant along a board
        const int plank = across / 6;
        if (across % 6 == 0) {
            return shade(90, 58, 32, 100);
        }
        const int tone = plank % 2 == 0 ? 100 : 90;
        return shade(176, 124, 72, tone + grain(i + y, plank, 7) % 8);
    };
    const FacePainter none = [](int, int) { return std::uint16_t{0}; };
    return block(0, top, none, none);
}

// A gold-framed board with writing, hanging from an iron bar by two chains.
Picture sign() {
    Picture picture(kWidth, 54);
    const int first = 11, last = 32;
    for (int i = first - 2; i <= last + 2; ++i) {
        const int slope = i - first;
        picture.set(i, 2 + slope, rgb(50, 50, 56));  // the bar
        picture.set(i, 3 + slope, rgb(80, 80, 88));
    }
    for (int i = first; i <= last; ++i) {
        const int top = 10 + (i - first);
        if (i == first + 2 || i == last - 2) {
            for (int y = top - 7 + 1; y < top; ++y) {
                picture.set(i, y, rgb(120, 120, 128));  // the chains
            }
        }
        for (int r = 0; r < 22; ++r) {
            const bool frame = i == first || i == last || r == 0 || r == 21 || i == first + 1 ||
                               i == last - 1 || r == 1 || r == 20;
            const bool writing = !frame && (r == 7 || r == 8 || r == 13 || r == 14) && i > first + 3 &&
                                 i < last - 3 && grain(i, r / 6, 11) < 70;
            std::uint16_t pixel = shade(232, 212, 160, 100);
            if (frame) {
                pixel = rgb(214, 168, 40);
            } else if (writing) {
                pixel = rgb(60, 32, 20);
            }
            picture.set(i, top + r, pixel);
        }
    }
    return picture;
}

// The entry of a picture in art.mul: header, size, row lookup, then the runs of every row.
std::string encode(const Picture& picture) {
    std::string rows;
    std::vector<std::uint16_t> lookup;
    const auto put16 = [](std::string& out, int value) {
        std::uint8_t bytes[2];
        PutLittleEndian(bytes, static_cast<std::uint16_t>(value));
        out.append(reinterpret_cast<const char*>(bytes), 2);
    };
    for (int y = 0; y < picture.height; ++y) {
        lookup.push_back(static_cast<std::uint16_t>(rows.size() / 2));
        int x = 0;
        for (int start = 0; start < picture.width;) {
            const auto at = [&](int col) {
                return picture.pixels[static_cast<std::size_t>(y * picture.width + col)];
            };
            if (at(start) == 0) {
                ++start;
                continue;
            }
            int end = start;
            while (end < picture.width && at(end) != 0) {
                ++end;
            }
            put16(rows, start - x);
            put16(rows, end - start);
            for (int col = start; col < end; ++col) {
                put16(rows, at(col));
            }
            x = end;
            start = end;
        }
        put16(rows, 0);
        put16(rows, 0);
    }
    std::string entry(4, '\0');
    put16(entry, picture.width);
    put16(entry, picture.height);
    for (const std::uint16_t row : lookup) {
        put16(entry, row);
    }
    return entry + rows;
}

struct Item {
    Picture picture;
    std::uint8_t height;
    bool background;
};

void putRecord(std::string& out, std::size_t at, const std::vector<std::int32_t>& values) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        PutLittleEndian(reinterpret_cast<std::uint8_t*>(out.data() + at + i * 4), values[i]);
    }
}

// Writes artLegacyMUL.uop: a version 5 container whose entry build/artlegacymul/%08d.tga for index
// 0x4000 + ItemId holds the item's art.mul entry, stored as is, without a per-entry header. Every entry is
// added by the patcher's own UOP writer, so the file comes out the same on every run. The blocks hold 4
// entries rather than the client's 1000, so that the six pictures need two blocks and the chain is read.
void writeArtUop(const std::filesystem::path& path, const std::map<int, std::string>& entries) {
    constexpr std::uint32_t kVersion = 5;
    const std::vector<std::uint8_t> empty = keelwright::EmptyUopContainer(kVersion, 4);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.write(reinterpret_cast<const char*>(empty.data()), static_cast<std::streamsize>(empty.size())) ||
        !out.flush()) {
        throw keelwright::Error(keelwright::ErrorNumber::DeviceIo, "cannot write the file")
            .at(keelwright::PathText(path));
    }
    out.close();
    keelwright::NativeFileSystem fileSystem;
    for (const auto& [id, bytes] : entries) {
        keelwright::UopNewEntry entry;
        entry.version = kVersion;
        entry.nameHash =
            keelwright::UopNameHash(keelwright::ArtEntryName(0x4000 + static_cast<unsigned>(id)));
        entry.headerLength = 0;
        entry.decompressedLength = static_cast<std::int32_t>(bytes.size());
        entry.compression = keelwright::UopCompression::None;
        entry.data.assign(bytes.begin(), bytes.end());
        keelwright::AddUopEntry(fileSystem, path, entry);
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: keelwright-make-art-examples FOLDER\n");
        return 2;
    }
    const std::map<int, Item> items = {
        {166, {wall(true, true, true), 20, false}},
        {167, {wall(true, false, false), 20, false}},
        {168, {wall(false, true, false), 20, false}},
        {1193, {floorBoards(), 0, true}},
        {1709, {door(), 20, false}},
        {3026, {sign(), 0, false}},
    };
    constexpr std::size_t kIndexBase = 0x4000;
    const std::size_t records = kIndexBase + static_cast<std::size_t>(items.rbegin()->first) + 1;
    std::string index(records * 12, '\xFF');  // every record offset -1, length -1: no entry
    std::string art;
    std::map<int, std::string> entries;
    for (const auto& [id, item] : items) {
        const std::string& entry = entries[id] = encode(item.picture);
        putRecord(index, (kIndexBase + static_cast<std::size_t>(id)) * 12,
                  {static_cast<std::int32_t>(art.size()), static_cast<std::int32_t>(entry.size()), 0});
        art += entry;
    }

    // Old format: the 428,032-byte land section, then groups of a header and 32 records of 37 bytes.
    constexpr std::size_t kLandBytes = 512 * (4 + 32 * 26);
    constexpr std::size_t kGroupBytes = 4 + 32 * 37;
    const std::size_t groups = static_cast<std::size_t>(items.rbegin()->first) / 32 + 1;
    std::string tiledata(kLandBytes + groups * kGroupBytes, '\0');
    for (const auto& [id, item] : items) {
        const std::size_t at = kLandBytes + static_cast<std::size_t>(id) / 32 * kGroupBytes + 4 +
                               static_cast<std::size_t>(id) % 32 * 37;
        tiledata[at] = item.background ? '\x01' : '\0';
        tiledata[at + 16] = static_cast<char>(item.height);
    }

    const std::filesystem::path folder = argv[1];
    for (const auto& [name, bytes] :
         {std::pair{"artidx.mul", &index}, {"art.mul", &art}, {"tiledata.mul", &tiledata}}) {
        std::ofstream out(folder / name, std::ios::binary);
        if (!(out << *bytes) || !out.flush()) {
            std::fprintf(stderr, "keelwright-make-art-examples: cannot write %s\n",
                         keelwright::PathText(folder / name).c_str());
            return 1;
        }
    }
    try {
        writeArtUop(folder / "artLegacyMUL.uop", entries);
    } catch (const keelwright::Error& e) {
        std::fprintf(stderr, "keelwright-make-art-examples: %s\n", e.description().c_str());
        return 1;
    }
    return 0;
}
