#include "clientfiles/PatchedMultiSearch.h"

#include <functional>
#include <utility>
#include <vector>

#include "model/ComponentTable.h"
#include "model/Error.h"
#include "mulfiles/IndexRecord.h"
#include "mulfiles/Patcher.h"
#include "mulfiles/RecordFile.h"
#include "mulfiles/RecordSizeDecision.h"
#include "uop/UopMultis.h"
#include "uop/UopNameHash.h"
#include "uop/UopTileRecords.h"

namespace keelwright {
namespace {

// The index is read in pieces, as the slot search reads it.
constexpr std::size_t kSlotsPerRead = 65536 / kRecordSize;

// Multi.idx and Multi.mul, and the block a patch would write there.
class MulSide {
public:
    MulSide(FileSystem& fileSystem, const ClientFiles& files, const ComponentTable& table,
            std::optional<RecordSize> recordSize)
        : size_(DecideRecordSize(fileSystem, files, recordSize).sizeForPatch()),
          block_(EncodeMultiData(table, size_)),
          index_(fileSystem, files.multiIdx, OpenMode::Read),
          data_(fileSystem, files.multiMul, OpenMode::Read, size_) {}

    RecordSize size() const { return size_; }
    const std::vector<std::uint8_t>& block() const { return block_; }

    // The multi number of the first slot, in slot order, that points at the block and for which `also`
    // holds.
    std::optional<std::int32_t> firstMultiWhere(const std::function<bool(std::int32_t multi)>& also) {
        const std::int64_t slots = index_.wholeRecords();
        std::vector<std::uint8_t> piece(kSlotsPerRead * kRecordSize);
        for (std::int64_t first = 1; first <= slots; first += static_cast<std::int64_t>(kSlotsPerRead)) {
            index_.readRecords(first, piece);
            for (std::size_t i = 0; i < kSlotsPerRead && first + static_cast<std::int64_t>(i) <= slots; ++i) {
                const IndexRecord entry =
                    IndexRecord::decode(ConstRecordSpan(piece.data() + i * kRecordSize, kRecordSize));
                const auto multi = static_cast<std::int32_t>(first + static_cast<std::int64_t>(i) - 1);
                if (pointsAtBlock(entry) && also(multi)) {
                    return multi;
                }
            }
        }
        return std::nullopt;
    }

private:
    // Only an entry of the block's length is read, and only the block's bytes.
    bool pointsAtBlock(const IndexRecord& entry) {
        if (entry.Offset < 0 || static_cast<std::size_t>(entry.Length) != block_.size() ||
            !entry.blockFitsIn(data_.size())) {
            return false;
        }
        std::vector<std::uint8_t> there(block_.size());
        return data_.file().readAt(static_cast<std::uint64_t>(entry.Offset), there) == there.size() &&
               there == block_;
    }

    RecordSize size_;
    std::vector<std::uint8_t> block_;
    RecordFile index_;
    RecordFile data_;
};

// MultiCollection.uop, and the tiles a patch would write there.
class UopSide {
public:
    UopSide(FileSystem& fileSystem, const std::filesystem::path& uop, std::vector<UopTile> tiles)
        : container_(fileSystem, uop),
          tiles_(std::move(tiles)),
          length_(static_cast<std::int64_t>(UopMultiPayload{0, tiles_}.encode().size())) {}

    // Whether the entry of multi M holds the tiles.
    bool holds(std::int32_t multi) {
        if (multi < 0 || multi > kHighestUopMulti) {
            return false;
        }
        const UopContainer::Located* found = container_.find(UopNameHash(MultiEntryName(multi)));
        return found != nullptr && holds(*found, multi);
    }

    // The lowest multi whose entry holds the tiles. The number comes from the payload and is then checked
    // against the entry's name, so that no name has to be hashed for every possible number.
    std::optional<std::int32_t> lowest() {
        std::optional<std::int32_t> best;
        for (const UopContainer::Located& located : container_.entries()) {
            const std::optional<UopMultiPayload> payload = payloadOf(located);
            if (!payload || payload->number > static_cast<std::uint32_t>(kHighestUopMulti)) {
                continue;
            }
            const auto multi = static_cast<std::int32_t>(payload->number);
            const UopContainer::Located* named = container_.find(UopNameHash(MultiEntryName(multi)));
            if (named != nullptr && named->position == located.position && payload->tiles == tiles_ &&
                (!best || multi < *best)) {
                best = multi;
            }
        }
        return best;
    }

private:
    bool holds(const UopContainer::Located& located, std::int32_t multi) {
        const std::optional<UopMultiPayload> payload = payloadOf(located);
        return payload && *payload == UopMultiPayload{static_cast<std::uint32_t>(multi), tiles_};
    }

    // The payload of an entry of the new payload's length; nothing for any other entry.
    std::optional<UopMultiPayload> payloadOf(const UopContainer::Located& located) {
        if (located.entry.DecompressedLength != length_) {
            return std::nullopt;
        }
        try {
            return UopMultiPayload::decode(
                container_.readPayload(located, static_cast<std::uint64_t>(length_)));
        } catch (const Error&) {
            return std::nullopt;  // a damaged entry holds no multi a patch wrote
        }
    }

    UopContainer container_;
    std::vector<UopTile> tiles_;
    std::int64_t length_;
};

}  // namespace

std::optional<std::int32_t> FindPatchedMulti(FileSystem& fileSystem, const ComponentTable& table,
                                             const PatchTargets& targets, std::optional<RecordSize> recordSize) {
    std::optional<MulSide> mul;
    if (targets.mul) {
        mul.emplace(fileSystem, *targets.mul, table, recordSize);
    }
    if (!targets.uop) {
        return mul ? mul->firstMultiWhere([](std::int32_t) { return true; }) : std::nullopt;
    }
    // The UOP gets the tiles of the Multi.mul block, in the size that block is written in.
    const RecordSize size = mul ? mul->size() : RecordSize::Twelve;
    UopSide uop(fileSystem, *targets.uop,
                UopTilesOfBlock(mul ? mul->block() : EncodeMultiData(table, size), size));
    if (!mul) {
        return uop.lowest();
    }
    return mul->firstMultiWhere([&](std::int32_t multi) { return uop.holds(multi); });
}

}  // namespace keelwright
