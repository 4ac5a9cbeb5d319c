#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "mulfiles/ClientFiles.h"
#include "mulfiles/FileSystem.h"
#include "mulfiles/IndexRecord.h"
#include "mulfiles/RecordSizeDecision.h"

namespace keelwright {

struct ComponentTable;

// What a completed patch did. The caller keeps slot and firstFreeRecord as its PatchSlot and
// FirstFreeRecord; the item scripts number the multi ItemHexOfSlot(slot).
struct PatchResult {
    std::int32_t slot = 0;             // the slot of Multi.idx now pointing at the new block
    std::int32_t firstFreeRecord = 0;  // the record of Multi.mul where the block begins
    std::int32_t offset = 0;           // the index entry's Offset: (firstFreeRecord - 1) * record size
    std::int32_t length = 0;           // the index entry's Length: (components + 1) * record size
    RecordSizeDecision recordSize;     // the size the block was written in, and how it was decided
};

// What WriteMultiData changed, so that RestoreMultiData can put Multi.mul back byte for byte: it only
// appended, so cutting the file back is enough.
struct MultiDataUndo {
    std::uint64_t originalSize = 0;
    std::uint64_t blockEnd = 0;  // where the file ended after the block was written
};

// A whole patch: the slot search, the record size (`recordSize` when given, else DecideRecordSize), the
// first free record, then `beforeWriting` with the slot the patch will fill (where the window shows its busy
// pointer and "Please wait...", and where a caller that needs the slot for more work can check it and throw
// to stop the patch), then every component converted, the block written and flushed, and the index entry
// written last and flushed. It completes or throws; after a throw both files are as they were. Throws
// UnusableIndexError when the index holds a zero record before its first free slot, and the decision's
// error when the Lengths of Multi.idx leave the record size undecidable.
PatchResult PatchMulti(FileSystem& fileSystem, const ComponentTable& table, const ClientFiles& files,
                       const std::function<void(std::int32_t slot)>& beforeWriting = {},
                       std::optional<RecordSize> recordSize = std::nullopt);

// The steps of PatchMulti, for a caller that runs them itself.

// The first slot of Multi.idx whose Length is -1, searched from slot 1. Only whole records are slots. A
// zero record met first, the end of the index and a missing file throw UnusableIndexError; a UOP container
// is refused (RefuseUopContainer). The file is never created or written.
std::int32_t FindFreeSlot(FileSystem& fileSystem, const std::filesystem::path& multiIdx);
// The first free slot for which `accept` holds, searched as FindFreeSlot does: what stops FindFreeSlot
// before the first free slot throws the same here; past it, slots that are not free are passed over.
// Nothing when the index ends before such a slot.
std::optional<std::int32_t> FindFreeSlotWhere(FileSystem& fileSystem, const std::filesystem::path& multiIdx,
                                              const std::function<bool(std::int32_t slot)>& accept);

// The record after the last whole record of Multi.mul, from the file's size in records of `size`. Throws
// FileNotFound for a missing file: a new block must never start a data file that the index does not
// describe.
std::int32_t FindFirstFreeRecord(FileSystem& fileSystem, const std::filesystem::path& multiMul,
                                 RecordSize size);

// The index entry of a block of `componentCount` components and its lead record at `firstFreeRecord`, in
// records of `size`, Extra -1. Throws Overflow when the block would reach past what a signed 32-bit
// Offset and Length can address.
IndexRecord NewIndexEntry(std::int32_t firstFreeRecord, std::int32_t componentCount, RecordSize size);
// The index entry of a block of `blockBytes` bytes at `firstFreeRecord`, Extra -1; throws as NewIndexEntry.
IndexRecord IndexEntryOfBlock(std::int32_t firstFreeRecord, std::uint64_t blockBytes, RecordSize size);

// The block's bytes in records of `size`: the lead record, then one record per component in table order,
// every Extra 0. Every text is converted and range-checked here; the first that fails throws, naming the
// component (from 1).
std::vector<std::uint8_t> EncodeMultiData(const ComponentTable& table, RecordSize size);
// The block's bytes exactly as the table gives them: one record per entry and no lead record of its own,
// the Flags text one word over bytes 8 to 11 (12-byte records) or 8 to 15 (16-byte records; Extra is its
// upper half). A value that does not fit its field throws, naming the tile (from 1).
std::vector<std::uint8_t> EncodeExactMultiData(const ComponentTable& table, RecordSize size);

// Writes the block at `firstFreeRecord`, the end of the file, in records of `size`, and flushes it. Throws,
// writing nothing, when the file no longer ends where the search found it or ends in a partial record
// (PartialRecordRefusal). On failure Multi.mul is restored before the throw.
MultiDataUndo WriteMultiData(FileSystem& fileSystem, const std::filesystem::path& multiMul,
                             std::int32_t firstFreeRecord, std::span<const std::uint8_t> block,
                             RecordSize size);

// Cuts Multi.mul back to what it was before WriteMultiData.
// Throws, changing nothing, when the file no longer ends where the block did: what lies after it is
// another writer's, and the block stays as bytes no slot covers.
void RestoreMultiData(FileSystem& fileSystem, const std::filesystem::path& multiMul,
                      const MultiDataUndo& undo);

// Writes the entry into `slot` and flushes it. Throws, writing nothing, when the slot is not a free whole
// record; on a failed write the slot's old 12 bytes are put back before the throw.
void WriteIndexEntry(FileSystem& fileSystem, const std::filesystem::path& multiIdx, std::int32_t slot,
                     const IndexRecord& entry);
// Rewrites `slot` from `expected` to `entry` in one 12-byte write and flushes it: how a replacement points
// the slot at its new block and how a removal frees it (IndexRecord::free()). Throws, writing nothing, when
// the slot is not a whole record or no longer holds `expected`; on a failed write the old 12 bytes are put
// back before the throw.
void RewriteIndexEntry(FileSystem& fileSystem, const std::filesystem::path& multiIdx, std::int32_t slot,
                       const IndexRecord& expected, const IndexRecord& entry);

}  // namespace keelwright
