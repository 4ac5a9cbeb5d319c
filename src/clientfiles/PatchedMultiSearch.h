#pragma once

// Whether a multi already stands in the client files as a patch would write it, so that pressing Patch
// Multi again on another day does not put a second copy in. The search compares the bytes a patch would
// write with those already there, and reads only what can match: the index (or the UOP's table), then
// the blocks whose Length is that of the new block (the entries whose decompressed length is that of the
// new payload). Multi.mul is never read whole.

#include <cstdint>
#include <optional>

#include "clientfiles/EveryFilePatch.h"
#include "mulfiles/FileSystem.h"
#include "mulfiles/RecordLayout.h"

namespace keelwright {

struct ComponentTable;

// The lowest multi number under which every target already holds exactly what PatchEveryFile would write
// for `table`: the block in Multi.mul that slot M + 1 of Multi.idx points at, and the payload of
// MultiCollection.uop's entry for M (its tiles; the lead record included). Nothing when no number does.
// Only reads. Throws what the patch itself would throw before writing (an undecidable record size, a
// component that cannot be converted) and read errors; damaged blocks and entries are passed over.
std::optional<std::int32_t> FindPatchedMulti(FileSystem& fileSystem, const ComponentTable& table,
                                             const PatchTargets& targets,
                                             std::optional<RecordSize> recordSize = std::nullopt);

}  // namespace keelwright
