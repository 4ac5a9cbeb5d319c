// The read-only half of a patch: the searches and the conversion of the multi, all before any write.
#include <charconv>
#include <limits>

#include "model/ComponentTable.h"
#include "model/Error.h"
#include "model/NumberText.h"
#include "mulfiles/ComponentRecord.h"
#include "mulfiles/Patcher.h"
#include "mulfiles/RecordFile.h"
#include "mulfiles/UnusableIndexError.h"
#include "mulfiles/UopRefusal.h"

namespace keelwright {
namespace {

constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
// The index is read in large pieces: one system call per 5,461 slots rather than one per slot.
constexpr std::size_t kSlotsPerRead = 65536 / kRecordSize;

std::int32_t checkedSlot(std::int64_t slot, const std::string& file) {
    if (slot > kInt32Max) {
        throw Error(ErrorNumber::Overflow, "the index has more slots than a 32-bit slot number can count")
            .at(file);
    }
    return static_cast<std::int32_t>(slot);
}

// Plain "[-]digits" text that fits is read at once; anything else (blanks, a sign, a fraction, an error)
// takes the full conversion, which gives the same value for plain text.
template <typename Int, typename Full>
Int toField(std::string_view text, const char* what, Full full) {
    Int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc() && end == text.data() + text.size()) {
        return value;
    }
    return full(text, what);
}

// The entry's record; `withFlags` false leaves Flags 0 for a caller that converts them itself.
ComponentRecord convert(const ComponentTable& table, std::size_t entry, bool withFlags = true) {
    const auto int16 = [](std::string_view text, const char* what) { return ToInt16(text, what); };
    const auto int32 = [](std::string_view text, const char* what) { return ToInt32(text, what); };
    if (!withFlags) {
        return ComponentRecord{
            toField<std::uint16_t>(table.ItemId[entry], "item id",
                                   [](std::string_view text, const char*) { return ToItemId(text); }),
            toField<std::int16_t>(table.X[entry], "x", int16),
            toField<std::int16_t>(table.Y[entry], "y", int16),
            toField<std::int16_t>(table.Z[entry], "z", int16),
            0,
            0};
    }
    try {
        ComponentRecord record;
        record.ItemId =
            toField<std::uint16_t>(table.ItemId[entry], "item id",
                                   [](std::string_view text, const char*) { return ToItemId(text); });
        record.X = toField<std::int16_t>(table.X[entry], "x", int16);
        record.Y = toField<std::int16_t>(table.Y[entry], "y", int16);
        record.Z = toField<std::int16_t>(table.Z[entry], "z", int16);
        record.Flags = toField<std::int32_t>(table.Flags[entry], "flags", int32);
        return record;
    } catch (const Error& e) {
        throw Error(e.number(),
                    "component " + NumberText(static_cast<std::int64_t>(entry) + 1) + ": " + e.reason());
    }
}

}  // namespace

std::int32_t FindFreeSlot(FileSystem& fileSystem, const std::filesystem::path& multiIdx) {
    return *FindFreeSlotWhere(fileSystem, multiIdx, [](std::int32_t) { return true; });
}

std::optional<std::int32_t> FindFreeSlotWhere(FileSystem& fileSystem, const std::filesystem::path& multiIdx,
                                              const std::function<bool(std::int32_t slot)>& accept) {
    if (!fileSystem.exists(multiIdx)) {
        throw UnusableIndexError(1, UnusableIndexError::Cause::MissingIndex);
    }
    RecordFile index(fileSystem, multiIdx, OpenMode::Read);
    RefuseUopContainer(index.file());
    const std::int64_t slots = index.wholeRecords();
    std::vector<std::uint8_t> piece(kSlotsPerRead * kRecordSize);
    bool freeSlotMet = false;
    for (std::int64_t first = 1;; first += static_cast<std::int64_t>(kSlotsPerRead)) {
        index.readRecords(first, piece);
        for (std::size_t i = 0; i < kSlotsPerRead; ++i) {
            const std::int64_t slot = first + static_cast<std::int64_t>(i);
            if (slot > slots && freeSlotMet) {
                return std::nullopt;
            }
            const IndexRecord record =
                IndexRecord::decode(ConstRecordSpan(piece.data() + i * kRecordSize, kRecordSize));
            // A trailing partial record is no slot: the index ends before it, as if it read as zeros. Past
            // the first free slot a zero record is just not free.
            if (!freeSlotMet && (slot > slots || record.isZero())) {
                throw UnusableIndexError(checkedSlot(std::min(slot, kInt32Max), index.name()),
                                         slot > slots ? UnusableIndexError::Cause::IndexEnds
                                                      : UnusableIndexError::Cause::ZeroRecord);
            }
            if (record.isFree()) {
                freeSlotMet = true;
                const std::int32_t found = checkedSlot(slot, index.name());
                if (accept(found)) {
                    return found;
                }
            }
        }
    }
}

std::int32_t FindFirstFreeRecord(FileSystem& fileSystem, const std::filesystem::path& multiMul,
                                 RecordSize size) {
    RecordFile data(fileSystem, multiMul, OpenMode::Read, size);
    const std::int64_t record = data.firstFreeRecord();
    if (record > kInt32Max) {
        throw Error(ErrorNumber::Overflow,
                    "the file holds more records than a 32-bit record number can count")
            .at(data.name());
    }
    return static_cast<std::int32_t>(record);
}

IndexRecord NewIndexEntry(std::int32_t firstFreeRecord, std::int32_t componentCount, RecordSize size) {
    if (firstFreeRecord < 1 || componentCount < 0) {
        throw Error(ErrorNumber::InvalidCall,
                    "a block needs a record number from 1 and a component count from 0");
    }
    return IndexEntryOfBlock(firstFreeRecord,
                             (static_cast<std::uint64_t>(componentCount) + 1) * BytesOf(size), size);
}

IndexRecord IndexEntryOfBlock(std::int32_t firstFreeRecord, std::uint64_t blockBytes, RecordSize size) {
    if (firstFreeRecord < 1 || blockBytes > static_cast<std::uint64_t>(kInt32Max)) {
        throw Error(ErrorNumber::Overflow, "a block of " + std::to_string(blockBytes) + " bytes at record " +
                                               NumberText(firstFreeRecord) + " cannot be indexed");
    }
    const auto bytes = static_cast<std::int64_t>(BytesOf(size));
    const std::int64_t offset = (static_cast<std::int64_t>(firstFreeRecord) - 1) * bytes;
    const auto length = static_cast<std::int64_t>(blockBytes);
    if (offset + length > kInt32Max) {
        throw Error(ErrorNumber::Overflow, "the new block would end at byte " + NumberText(offset + length) +
                                               " of Multi.mul, beyond the 2 GB that Multi.idx can address");
    }
    return IndexRecord{static_cast<std::int32_t>(offset), static_cast<std::int32_t>(length), -1};
}

std::vector<std::uint8_t> EncodeMultiData(const ComponentTable& table, RecordSize size) {
    const std::size_t bytes = BytesOf(size);
    if (table.Count < 0 ||
        (static_cast<std::int64_t>(table.Count) + 1) * static_cast<std::int64_t>(bytes) > kInt32Max) {
        throw Error(ErrorNumber::Overflow,
                    "a block of " + NumberText(table.Count) + " components cannot be indexed");
    }
    const auto count = static_cast<std::size_t>(table.Count);
    std::vector<std::uint8_t> block((count + 1) * bytes);
    const std::span<std::uint8_t> out(block);
    ComponentRecord::lead().encodeInto(out, size);
    for (std::size_t entry = 0; entry < count; ++entry) {
        convert(table, entry).encodeInto(out.subspan((entry + 1) * bytes), size);
    }
    return block;
}

std::vector<std::uint8_t> EncodeExactMultiData(const ComponentTable& table, RecordSize size) {
    const std::size_t bytes = BytesOf(size);
    if (table.Count < 0 ||
        static_cast<std::int64_t>(table.Count) * static_cast<std::int64_t>(bytes) > kInt32Max) {
        throw Error(ErrorNumber::Overflow,
                    "a block of " + NumberText(table.Count) + " records cannot be indexed");
    }
    const auto count = static_cast<std::size_t>(table.Count);
    std::vector<std::uint8_t> block(count * bytes);
    for (std::size_t entry = 0; entry < count; ++entry) {
        const std::string tile = "tile " + NumberText(static_cast<std::int64_t>(entry) + 1) + ": ";
        ComponentRecord record;
        try {
            record = convert(table, entry, false);
            const std::uint64_t flags = ToFlagsWord(table.Flags[entry]);
            if (size == RecordSize::Twelve && flags > 0xFFFFFFFFU) {
                throw Error(ErrorNumber::Overflow, "flags " + std::to_string(flags) +
                                                       " do not fit the 32 bits of a 12-byte record's Flags");
            }
            record.Flags = static_cast<std::int32_t>(static_cast<std::uint32_t>(flags & 0xFFFFFFFFU));
            record.Extra = static_cast<std::int32_t>(static_cast<std::uint32_t>(flags >> 32));
        } catch (const Error& e) {
            throw Error(e.number(), tile + e.reason());
        }
        record.encodeInto(std::span(block).subspan(entry * bytes), size);
    }
    return block;
}

}  // namespace keelwright
