// MultiCollection.uop on any bytes: the survey and every read of the container read it or throw Error, and a
// patch of a small multi into it alone either completes, after which the multi reads back as patched and
// every entry that was there keeps its data byte for byte and its table entry too, but for older twins of
// a name (which a patch clears whole), or throws and leaves the file as it was. The input is the file.
#include <algorithm>

#include "FuzzSupport.h"
#include "model/ComponentTable.h"
#include "model/Error.h"
#include "model/ScriptReaders.h"
#include "mulfiles/MemoryFileSystem.h"
#include "mulfiles/Patcher.h"
#include "clientfiles/EveryFilePatch.h"
#include "uop/UopSurvey.h"
#include "uop/UopTileRecords.h"

using namespace keelwright;

namespace {

constexpr std::int64_t kFileTime = 133485408000000000;  // 2024-01-01 00:00 UTC
constexpr std::int32_t kMostMultisRead = 16;
// Payloads are read with this bound, so that an entry claiming a huge decompressed length costs no time.
constexpr std::uint64_t kPayloadBound = 1 << 20;
const std::filesystem::path kUop = "MultiCollection.uop";

// The bytes an entry in use occupies: its 34 table bytes, and its data when that lies inside the file.
struct EntryBytes {
    std::uint64_t position;
    std::uint64_t dataStart, dataEnd;
    bool olderTwin;  // another entry of its name has data further into the file
};

bool sameBytes(const MemoryFileSystem::Bytes& a, const MemoryFileSystem::Bytes& b, std::uint64_t start,
               std::uint64_t end) {
    return end <= a.size() && end <= b.size() &&
           std::equal(a.begin() + static_cast<std::ptrdiff_t>(start),
                      a.begin() + static_cast<std::ptrdiff_t>(end),
                      b.begin() + static_cast<std::ptrdiff_t>(start));
}

bool zeroed(const MemoryFileSystem::Bytes& bytes, std::uint64_t start, std::uint64_t end) {
    return end <= bytes.size() && std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(start),
                                              bytes.begin() + static_cast<std::ptrdiff_t>(end),
                                              [](std::uint8_t byte) { return byte == 0; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const MemoryFileSystem::Bytes before(data, data + size);
    MemoryFileSystem files;
    files.put(kUop, before);

    try {
        SurveyUop(files, kUop);
    } catch (const Error&) {
    }
    std::vector<EntryBytes> entries;
    try {
        UopContainer container(files, kUop);
        const std::vector<const UopContainer::Located*> older = container.duplicates().older;
        for (const UopContainer::Located& located : container.entries()) {
            const bool inside = container.dataInsideFile(located.entry);
            entries.push_back({located.position,
                               inside ? static_cast<std::uint64_t>(located.entry.Offset) : 0,
                               inside ? *located.entry.dataEnd() : 0,
                               std::find(older.begin(), older.end(), &located) != older.end()});
            try {
                container.readPayload(located, kPayloadBound);
            } catch (const Error&) {
            }
        }
        for (std::int32_t multi = 0; multi < kMostMultisRead; ++multi) {
            try {
                ExtractUopMultiText(files, kUop, multi);
            } catch (const Error&) {
            }
        }
    } catch (const Error&) {
    }

    EveryFilePatchResult result;
    try {
        result = PatchEveryFile(files, fuzz::SmallHouse(), PatchTargets{std::nullopt, kUop}, kFileTime);
    } catch (const Error&) {
        fuzz::Require(files.bytes(kUop) == before, "a failed patch leaves the file as it was");
        return 0;
    }
    const MemoryFileSystem::Bytes& after = files.bytes(kUop);
    const std::vector<UopTile> tiles =
        UopTilesOfBlock(EncodeMultiData(fuzz::SmallHouse(), RecordSize::Twelve), RecordSize::Twelve);
    fuzz::Require(ReadUopMulti(files, kUop, result.multi).payload ==
                      UopMultiPayload{static_cast<std::uint32_t>(result.multi), tiles},
                  "the patched multi reads back as patched");
    for (const EntryBytes& entry : entries) {
        const std::uint64_t end = entry.position + kUopEntrySize;
        const bool clearedWhole = entry.olderTwin && zeroed(after, entry.position, end);
        fuzz::Require(clearedWhole || sameBytes(before, after, entry.position, end),
                      "every other entry keeps its table entry, or is an older twin cleared whole");
        fuzz::Require(sameBytes(before, after, entry.dataStart, entry.dataEnd),
                      "every other entry keeps its data");
    }
    return 0;
}
