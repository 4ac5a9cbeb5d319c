#include "clientfiles/UopTransactionSteps.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>

#include "clientfiles/MultiTransaction.h"
#include "model/Error.h"
#include "mulfiles/RecordLayout.h"
#include "uop/UopContainer.h"
#include "uop/UopLayout.h"
#include "uop/UopMultis.h"
#include "uop/UopNameHash.h"

namespace keelwright {
namespace {

template <typename Int>
std::vector<std::uint8_t> littleEndian(Int value) {
    std::vector<std::uint8_t> bytes(sizeof(Int));
    PutLittleEndian(bytes.data(), value);
    return bytes;
}

// The transaction's own open file, read through for the table. A second handle of the file cannot be had
// on Windows while the transaction's handle, which lets other programs only read, is open for writing.
class ReadThrough : public RandomAccessFile {
public:
    explicit ReadThrough(RandomAccessFile& file) : file_(file) {}
    const std::string& name() const override { return file_.name(); }
    std::uint64_t size() override { return file_.size(); }
    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> into) override {
        return file_.readAt(offset, into);
    }
    void writeAt(std::uint64_t, std::span<const std::uint8_t>) override { refuse(); }
    void truncate(std::uint64_t) override { refuse(); }
    void sync() override {}

private:
    [[noreturn]] void refuse() const {
        throw Error(ErrorNumber::InvalidCall, "the table is only read through this handle").at(file_.name());
    }
    RandomAccessFile& file_;
};

// Where a table entry lies: its block (index in the chain, or past it for a new block) and number in it.
struct Place {
    std::size_t block = 0;
    std::uint32_t index = 0;
};

// The all-zero entries of every block, in chain order: where new entries go.
std::vector<Place> unusedPlaces(UopContainer& container) {
    const std::uint32_t capacity = container.header().Capacity;
    std::vector<Place> places;
    std::vector<std::uint8_t> table(kUopBlockHeaderSize + std::size_t{capacity} * kUopEntrySize);
    for (std::size_t b = 0; b < container.blocks().size(); ++b) {
        if (!container.blocks()[b].firstUnused) {
            continue;
        }
        if (container.file().readAt(container.blocks()[b].offset, table) != table.size()) {
            throw Error(ErrorNumber::InvalidFileFormat, "a table block ends past the end of the file")
                .at(container.name());
        }
        for (std::uint32_t n = 0; n < capacity; ++n) {
            const auto entry = table.begin() + static_cast<std::ptrdiff_t>(UopEntryPosition(n));
            if (std::all_of(entry, entry + kUopEntrySize, [](std::uint8_t byte) { return byte == 0; })) {
                places.push_back({b, n});
            }
        }
    }
    return places;
}

}  // namespace

UopTransactionSteps::UopTransactionSteps(FileSystem& fileSystem, const std::filesystem::path& uop,
                                         std::span<const MultiChange> changes, WriteCounts& counts)
    : file_(fileSystem, uop, counts) {
    UopContainer container(std::make_unique<ReadThrough>(file_.file()));
    RequireMultiCollection(container);
    if (container.fileSize() != file_.originalSize() || container.blocks().empty()) {
        throw Error(ErrorNumber::PathAccess,
                    container.blocks().empty()
                        ? "the file has no table block; nothing was written"
                        : "the file changed while its table was read; nothing was written")
            .at(container.name());
    }
    const std::uint32_t capacity = container.header().Capacity;
    const std::uint64_t blockBytes = kUopBlockHeaderSize + std::uint64_t{capacity} * kUopEntrySize;

    // The live entries of every name changed, oldest (data nearest the start) first.
    std::map<std::uint64_t, std::vector<const UopContainer::Located*>> live;
    for (const MultiChange& change : changes) {
        if (change.uop != UopChange::None) {
            live[UopNameHash(MultiEntryName(change.multi))];
        }
    }
    for (const UopContainer::Located& located : container.entries()) {
        if (const auto found = live.find(located.entry.NameHash); found != live.end()) {
            found->second.push_back(&located);
        }
    }
    for (auto& [hash, entries] : live) {
        std::stable_sort(entries.begin(), entries.end(),
                         [](const auto* a, const auto* b) { return a->entry.Offset < b->entry.Offset; });
    }

    std::vector<Place> places = unusedPlaces(container);
    std::size_t puts = 0;
    std::uint64_t dataBytes = 0;
    for (const MultiChange& change : changes) {
        if (change.uop == UopChange::Put) {
            ++puts;
            dataBytes += change.uopEntry->data.size();
        }
    }
    const std::size_t oldBlocks = container.blocks().size();
    const std::size_t newBlocks = puts > places.size() ? (puts - places.size() + capacity - 1) / capacity : 0;
    for (std::size_t b = 0; b < newBlocks; ++b) {
        for (std::uint32_t n = 0; n < capacity; ++n) {
            places.push_back({oldBlocks + b, n});
        }
    }
    const std::uint64_t firstNewBlock = file_.originalSize() + dataBytes;
    const auto blockAt = [&](std::size_t b) {
        return b < oldBlocks ? container.blocks()[b].offset : firstNewBlock + (b - oldBlocks) * blockBytes;
    };

    appended_.reserve(static_cast<std::size_t>(dataBytes + newBlocks * blockBytes));
    std::vector<std::int32_t> used(oldBlocks + newBlocks, 0);
    std::vector<std::int32_t> newNeeds(oldBlocks + newBlocks, 0);  // the last new entry's number + 1
    for (std::size_t b = 0; b < oldBlocks; ++b) {
        used[b] = container.blocks()[b].usedCount;
    }
    std::set<std::uint64_t> cleared;  // positions
    std::size_t nextPlace = 0;
    for (const MultiChange& change : changes) {
        const auto& entries = live[UopNameHash(MultiEntryName(change.multi))];
        if (change.uop == UopChange::Put) {
            const UopNewEntry& entry = *change.uopEntry;
            const Place place = places[nextPlace++];
            const UopEntry table{static_cast<std::int64_t>(file_.originalSize() + appended_.size()),
                                 entry.headerLength,
                                 entry.storedLength(),
                                 entry.decompressedLength,
                                 entry.nameHash,
                                 entry.dataHash,
                                 static_cast<std::int16_t>(entry.compression)};
            appended_.insert(appended_.end(), entry.data.begin(), entry.data.end());
            const std::uint64_t position = blockAt(place.block) + UopEntryPosition(place.index);
            const UopEntry::Bytes bytes = table.encode();
            bodies_.push_back({position + 8, {bytes.begin() + 8, bytes.end()}});
            offsets_.push_back({position, {bytes.begin(), bytes.begin() + 8}});
            newNeeds[place.block] = static_cast<std::int32_t>(place.index + 1);
            used[place.block] = std::max(used[place.block], newNeeds[place.block]);
        }
        const std::size_t kept = change.uop == UopChange::Tidy && !entries.empty() ? 1 : 0;
        if (change.uop != UopChange::None) {
            for (std::size_t k = 0; k + kept < entries.size(); ++k) {
                cleared.insert(entries[k]->position);
            }
        }
    }
    // The new blocks, zeroed and chained, follow the data; the last old block links to the first.
    for (std::size_t b = 0; b < newBlocks; ++b) {
        const std::size_t start = appended_.size();
        appended_.resize(start + blockBytes);
        if (b + 1 < newBlocks) {
            PutLittleEndian(appended_.data() + start + kUopNextBlockField,
                            static_cast<std::int64_t>(blockAt(oldBlocks + b + 1)));
        }
    }
    if (newBlocks > 0) {
        bodies_.push_back({container.blocks().back().offset + kUopNextBlockField,
                           littleEndian(static_cast<std::int64_t>(firstNewBlock))});
    }
    for (std::size_t b = 0; b < used.size(); ++b) {
        if (b >= oldBlocks || used[b] != container.blocks()[b].usedCount) {
            bodies_.push_back({blockAt(b), littleEndian(used[b])});
        }
    }

    // Clearing: the Offset, then the rest; a block's count is lowered only to its last live entry.
    std::vector<std::int32_t> lastLive(oldBlocks, 0);
    for (const UopContainer::Located& located : container.entries()) {
        if (cleared.count(located.position) == 0) {
            lastLive[located.block] =
                std::max(lastLive[located.block], static_cast<std::int32_t>(located.index + 1));
        }
    }
    for (const UopContainer::Located& located : container.entries()) {
        if (cleared.count(located.position) != 0) {
            clearedOffsets_.push_back({located.position, std::vector<std::uint8_t>(8)});
            clearedRest_.push_back({located.position + 8, std::vector<std::uint8_t>(kUopEntrySize - 8)});
        }
    }
    for (std::size_t b = 0; b < oldBlocks && !cleared.empty(); ++b) {
        const std::int32_t lowered = std::max(lastLive[b], newNeeds[b]);
        if (lowered < used[b]) {
            clearedRest_.push_back({blockAt(b), littleEndian(lowered)});
        }
    }
    // Counted from the entries, not from the header's count, which an interrupted transaction left stale.
    const auto fileCount = static_cast<std::int64_t>(container.entries().size() + puts - cleared.size());
    if (puts > 0 || !cleared.empty()) {
        clearedRest_.push_back({kUopFileCountField, littleEndian(static_cast<std::uint32_t>(fileCount))});
    }
}

void UopTransactionSteps::run(const std::vector<Write>& writes) {
    for (const Write& write : writes) {
        file_.write(write.offset, write.bytes);
    }
    file_.flush();
}

void UopTransactionSteps::appendData() {
    if (!appended_.empty()) {
        file_.write(file_.originalSize(), appended_);
        file_.flush();
    }
}

void UopTransactionSteps::writeNewEntries() {
    run(bodies_);
}

void UopTransactionSteps::publishNewEntries() {
    run(offsets_);
}

void UopTransactionSteps::clearOffsets() {
    run(clearedOffsets_);
}

void UopTransactionSteps::clearTheRest() {
    run(clearedRest_);
}

}  // namespace keelwright
