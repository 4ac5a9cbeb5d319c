#pragma once

// Removing one multi from every client file given that holds it. The writes, each flushed before the next:
//   1. MultiCollection.uop: older entries of a shared name cleared, then the multi's table entry cleared,
//      its Offset first (readers skip it from then on), then the rest, then the header's FileCount;
//   2. Multi.idx: the slot becomes Offset -1, Length -1, Extra -1, what free slots hold in shipped files,
//      in one 12-byte write.
// Multi.mul is never written: its block stays as dead bytes. Each file alone goes from before to after in
// one write that a crash leaves whole or not made; a failure puts back every file written before it.

#include <cstdint>
#include <optional>

#include "clientfiles/MultiHoldings.h"
#include "clientfiles/PatchTargets.h"
#include "uop/UopContainer.h"

namespace keelwright {

// What RemoveMulti removed.
struct MultiRemoved {
    MultiHoldings removed;                          // what the files held at the number
    std::optional<IndexRecord> indexEntry;          // Multi.idx's old entry, when it held the multi
    std::optional<UopContainer::Located> uopEntry;  // the UOP's old table entry, when it held the multi
    std::uint64_t bytesWritten = 0;
};

// Removes multi `multi` from each target that holds it, leaving the others alone. Throws BadRecordNumber,
// writing nothing, when none holds it, InvalidFileFormat when Multi.mul is not a whole number of records
// (PartialRecordRefusal), and what WhatFilesHold throws. Completes or throws; after a throw
// every file is as it was. `recordSize` is the size Multi.mul is read in for the tile counts.
MultiRemoved RemoveMulti(FileSystem& fileSystem, const PatchTargets& targets, std::int32_t multi,
                         std::optional<RecordSize> recordSize = std::nullopt);

}  // namespace keelwright
