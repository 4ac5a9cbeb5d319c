#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "model/Error.h"
#include "mulfiles/ClientFiles.h"
#include "mulfiles/FileSystem.h"
#include "mulfiles/RecordLayout.h"

namespace keelwright {

// How the record size of Multi.mul was decided.
enum class RecordSizeFrom {
    Option,    // the caller gave it (--record-size)
    Lengths,   // every used Length of Multi.idx fits one size and not the other
    Contents,  // every Length fits both; one reading of a sample of the blocks alone looks like tiles
    Assumed,   // nothing told: the classic 12 (or, for unusable files, the size most Lengths fit)
};

// The record size of Multi.mul and how it was decided. Patch, extract, list and the window all get it
// from DecideRecordSize.
struct RecordSizeDecision {
    RecordSize size = RecordSize::Twelve;
    RecordSizeFrom from = RecordSizeFrom::Assumed;
    // Set when the Lengths of Multi.idx fit neither size: the files are unusable for a patch. `size` is
    // then the size most Lengths fit, good for reading the other blocks, and `unusable` names one slot
    // that shows the mix.
    std::int32_t unusableSlot = 0;
    std::optional<Error> unusable = std::nullopt;
    // The used entries whose blocks reach past the end of Multi.mul, which count as evidence of neither
    // size. Any at all mean that this Multi.mul does not belong to this Multi.idx (a patch would write
    // into blocks the index gives to other slots); `mismatched` says so, naming the first.
    std::int64_t blocksPastEnd = 0;
    std::optional<Error> mismatched = std::nullopt;
    // Set, for usable files, when Multi.mul is not a whole number of records of `size`
    // (PartialRecordRefusal): it is not a Multi.mul, or it is damaged, and no command writes into it.
    std::optional<Error> partialRecord = std::nullopt;

    bool usable() const { return !unusable.has_value(); }
    // Throws `partialRecord` when there is one: what every command that writes into these files asks first.
    void requireWholeRecords() const;
    // The size to write in; throws `mismatched`, then `partialRecord`, then `unusable` (all
    // InvalidFileFormat), when the files cannot take a patch.
    RecordSize sizeForPatch() const;
};

// The refusal of a Multi.mul named `file` of `bytes` bytes that is not a whole number of records of `size`:
// "art.mul is 45460 bytes, 4 bytes past the last whole 12-byte record: it is not a Multi.mul, or it is
// damaged; nothing was written". Nothing for a whole number of records. A block is only ever written at
// the end of such a file, never below it.
std::optional<Error> PartialRecordRefusal(std::uint64_t bytes, RecordSize size, const std::string& file);

// Decides the record size of Multi.mul from the bytes of Multi.idx and, when every Length fits both
// sizes, a bounded sample of the blocks in `data`, so the cost does not grow with Multi.mul:
//   1. `forced` given: that size (the entries past the end are counted all the same).
//   2. Of the used entries (Length > 0) whose blocks lie inside `data` (the others are counted apart): every
//   Length a multiple of 12 and
//      one not of 16 gives 12; every Length a multiple of 16 and one not of 12 gives 16; any other mix
//      leaves the files unusable.
//   3. Every Length a multiple of 48: the blocks are read both ways, and the one reading in which every
//      Flags (and in 16-byte records every Extra) is 0 or 1 wins.
//   4. No used entry, or both readings (or neither) pass: 12, assumed.
// Whatever the size, a Multi.mul that is not a whole number of its records is refused (`partialRecord`).
RecordSizeDecision DecideRecordSize(std::span<const std::uint8_t> index, RandomAccessFile& data,
                                    std::optional<RecordSize> forced = std::nullopt);
// Opens both files, refuses a UOP container named as either (RefuseUopContainer) and decides as above;
// the reason of unusable files names Multi.idx, that of mismatched ones Multi.mul.
RecordSizeDecision DecideRecordSize(FileSystem& fileSystem, const ClientFiles& files,
                                    std::optional<RecordSize> forced = std::nullopt);

// The stable name of how a size was decided ("option", "lengths", "contents", "assumed"), as the command
// line's JSON gives it.
const char* RecordSizeFromName(RecordSizeFrom from);
// The decision for people: "16-byte records (from the lengths in Multi.idx)", "12-byte records (assumed:
// the files do not tell)".
std::string DescribeRecordSize(const RecordSizeDecision& decision);
// "12" or "16" as a record size, as --record-size takes it; nothing for any other text.
std::optional<RecordSize> ParseRecordSize(std::string_view text);

}  // namespace keelwright
