// Writes the small example Multi.idx and Multi.mul of examples/client: five multis in sixteen slots, the
// first free slot (5) after four used ones, the blocks end to end in Multi.mul. MultiCollection.uop holds
// the same multis under the same numbers (see writeMultiCollection). Given a second folder, it writes the
// same Multi.idx and Multi.mul there in the 16-byte records of clients from 7.0.9.0 on (examples/client-hs).
//
//   keelwright-make-client-examples examples/client examples/client-hs
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "model/Error.h"
#include "model/PathText.h"
#include "mulfiles/ComponentRecord.h"
#include "mulfiles/IndexRecord.h"
#include "mulfiles/NativeFileSystem.h"
#include "uop/UopMultiFlags.h"
#include "uop/UopMultis.h"
#include "uop/UopWriter.h"

namespace {

using keelwright::ComponentRecord;
using keelwright::IndexRecord;
using keelwright::RecordBytes;
using keelwright::RecordSize;

using Block = std::vector<ComponentRecord>;

// A w by h square of one tile, centred on 0,0.
Block floorOf(std::uint16_t item, int w, int h, std::int16_t z) {
    Block block;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            block.push_back(
                {item, static_cast<std::int16_t>(x - w / 2), static_cast<std::int16_t>(y - h / 2), z, 0});
        }
    }
    return block;
}

// The edge of a w by h square: walls along x, then along y, and posts at the corners.
Block wallsOf(std::uint16_t wallX, std::uint16_t wallY, std::uint16_t post, int w, int h) {
    Block block;
    const int left = -(w / 2), top = -(h / 2), right = left + w - 1, bottom = top + h - 1;
    for (int x = left; x <= right; ++x) {
        for (const int y : {top, bottom}) {
            const bool corner = x == left || x == right;
            block.push_back(
                {corner ? post : wallX, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), 0, 0});
        }
    }
    for (int y = top + 1; y < bottom; ++y) {
        for (const int x : {left, right}) {
            block.push_back({wallY, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), 0, 0});
        }
    }
    return block;
}

std::string bytesOf(const RecordBytes& record) {
    return std::string(record.begin(), record.end());
}

std::string bytesOf(const ComponentRecord& record, RecordSize size) {
    std::string bytes(keelwright::BytesOf(size), '\0');
    record.encodeInto(std::span(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size()), size);
    return bytes;
}

// Writes the multis into the given slots of a Multi.idx of kSlots slots and their blocks, each a lead
// record and its tiles, end to end into Multi.mul, in records of `size`.
bool writeClientFiles(const std::filesystem::path& folder, const std::vector<Block>& multis,
                      const std::vector<int>& slots, RecordSize size) {
    constexpr int kSlots = 16;
    std::vector<IndexRecord> index(kSlots, IndexRecord{-1, -1, -1});
    std::string data;
    for (std::size_t i = 0; i < multis.size(); ++i) {
        const auto length = static_cast<std::int32_t>((multis[i].size() + 1) * keelwright::BytesOf(size));
        index[static_cast<std::size_t>(slots[i] - 1)] = {static_cast<std::int32_t>(data.size()), length, -1};
        data += bytesOf(ComponentRecord::lead(), size);
        for (const ComponentRecord& component : multis[i]) {
            data += bytesOf(component, size);
        }
    }
    std::string indexBytes;
    for (const IndexRecord& record : index) {
        indexBytes += bytesOf(record.encode());
    }
    std::ofstream(folder / "Multi.idx", std::ios::binary) << indexBytes;
    std::ofstream(folder / "Multi.mul", std::ios::binary) << data;
    if (!std::ifstream(folder / "Multi.idx") || !std::ifstream(folder / "Multi.mul")) {
        std::fprintf(stderr, "keelwright-make-client-examples: cannot write into %s\n",
                     keelwright::PathText(folder).c_str());
        return false;
    }
    return true;
}

// Writes MultiCollection.uop: a version 4 container, a housing.bin entry of our own bytes, then multi
// slot - 1 for every slot, its tiles those of the Multi.mul block, the lead record first. Every entry is
// added by the patcher's own writer, at a fixed time so that the file is the same on every run. The
// blocks hold 4 entries, not the 100 of the client's file, so that the writer's rule (a new block only
// when every block is full) gives these six entries two blocks and the chain is exercised.
void writeMultiCollection(const std::filesystem::path& folder, const std::vector<Block>& multis,
                          const std::vector<int>& slots) {
    constexpr std::int64_t kFileTime = 133485408000000000;  // 2024-01-01 00:00 UTC
    constexpr std::uint32_t kCapacity = 4;
    const std::filesystem::path path = folder / "MultiCollection.uop";
    const std::vector<std::uint8_t> empty = keelwright::EmptyUopContainer(4, kCapacity);
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(empty.data()), static_cast<std::streamsize>(empty.size()));

    keelwright::NativeFileSystem fileSystem;
    const std::string catalogue =
        "Keelwright example custom-housing catalogue: not a multi, kept byte for byte\r\n";
    const std::vector<std::uint8_t> housing(catalogue.begin(), catalogue.end());
    keelwright::AddUopEntry(fileSystem, path,
                            keelwright::NewCompressedEntry(keelwright::kHousingBinName, housing, kFileTime));
    for (std::size_t i = 0; i < multis.size(); ++i) {
        std::vector<keelwright::UopTile> tiles = {keelwright::UopTile::lead()};
        for (const ComponentRecord& record : multis[i]) {
            tiles.push_back({static_cast<std::uint16_t>(record.ItemId),
                             record.X,
                             record.Y,
                             record.Z,
                             keelwright::UopFlagsOfMul({record.Flags, 0}),
                             {}});
        }
        keelwright::AddMultiToUop(fileSystem, path, tiles, kFileTime, slots[i] - 1);
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: keelwright-make-client-examples FOLDER [FOLDER_16_BYTE_RECORDS]\n");
        return 2;
    }
    Block stall = floorOf(1305, 3, 2, 0);  // a market stall: a floor, a counter and a sign
    stall.push_back({2878, 0, -1, 5, 1});
    stall.push_back({2979, 1, -1, 5, 1});
    const std::vector<Block> multis = {
        floorOf(1180, 3, 3, 0),  // slot 1: a stone terrace
        wallsOf(6, 7, 1, 4, 3),  // slot 2: walls around a yard
        stall,                   // slot 3: a market stall
        {{3026, 0, 0, 0, 1}},    // slot 4: a lone sign post
        floorOf(1848, 5, 1, 7),  // slot 6: a bridge
    };
    const std::vector<int> slots = {1, 2, 3, 4, 6};
    if (!writeClientFiles(argv[1], multis, slots, RecordSize::Twelve)) {
        return 1;
    }
    try {
        writeMultiCollection(argv[1], multis, slots);
    } catch (const keelwright::Error& e) {
        std::fprintf(stderr, "keelwright-make-client-examples: %s\n", e.what());
        return 1;
    }
    if (argc == 3 && !writeClientFiles(argv[2], multis, slots, RecordSize::Sixteen)) {
        return 1;
    }
    return 0;
}
