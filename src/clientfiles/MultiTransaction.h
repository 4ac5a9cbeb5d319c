#pragma once

// Many multis written into the client files as one transaction, the way a database writes: the data of
// every multi first, then the pointers to it, each step flushed once for all the multis, so that the
// number of flushes does not grow with the number of multis:
//   1. Multi.mul: grown to its new length (a whole number of records, as it was), then every new block
//      written into the new space in one write; flushed.
//   2. MultiCollection.uop: every new entry's data (and the zeroed table blocks the new entries need),
//      appended in one write; flushed.
//   3. the new table entries without their Offset, the link to the new blocks, the blocks' raised
//      UsedCounts (readers pass over entries whose Offset is 0); flushed.
//   4. their Offsets, which make them visible; flushed. A number that is
//      replaced has two entries of its name now: the new one is complete before the old one goes.
//   5. the Offsets of the entries replaced or removed, cleared first so that readers pass over them; flushed.
//   6. the rest of those entries cleared, the UsedCounts lowered where no live entry needs them, the
//      header's FileCount (the entries in use, counted); flushed.
//   7. Multi.idx: every entry of a new block, or the free record of a removal; one flush at the end.
// Each file is written data first and pointer last, so a crash at any instant leaves every number as
// before or as after in each file: Multi.mul and Multi.idx by the index entry, which is written in one
// piece; the UOP by the entry's Offset, with at worst two entries of one name, the newer (the one whose data
// lies further into the file) complete, and any later transaction on that number clears the older first.
// A failure anywhere puts back every file as it was before the throw.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "clientfiles/EveryFilePatch.h"
#include "clientfiles/JournaledFile.h"
#include "mulfiles/RecordLayout.h"
#include "uop/UopNewEntry.h"

namespace keelwright {

// What a transaction does to one multi number in Multi.idx and Multi.mul.
enum class MulChange {
    None,
    Write,  // a new block, appended, and the slot pointed at it
    Free,   // the slot made free; the old block stays where it is, unreferenced
};

// What a transaction does to the entries of one multi number in MultiCollection.uop.
enum class UopChange {
    None,
    Put,    // a new entry added; every older entry of the name then cleared
    Clear,  // every entry of the name cleared
    Tidy,   // every entry of the name but the newest cleared, which an interrupted transaction left
};

// One multi number's part of a transaction.
struct MultiChange {
    std::int32_t multi = 0;
    MulChange mul = MulChange::None;
    std::vector<std::uint8_t> block;  // with Write: EncodeMultiData in the transaction's record size
    UopChange uop = UopChange::None;
    std::optional<UopNewEntry> uopEntry;  // with Put: NewMultiEntry of the same tiles
};

// Writes the changes in the order above into the files of `targets` (Multi.mul in records of `size`).
// Everything is checked before the first write: a slot past the end of Multi.idx, a UOP file that is not
// version 4, a block whose Offset would not fit a 32-bit field, a change for a file not given and two
// changes of one number throw with every file untouched. Returns what was written.
WriteCounts WriteMultiTransaction(FileSystem& fileSystem, const PatchTargets& targets, RecordSize size,
                                  std::span<const MultiChange> changes);

}  // namespace keelwright
