#pragma once

// The plan of an apply: each entry of a manifest compared with what the client files hold at its number,
// tile for tile as it would be written, and the ownership rule checked against the lock file. Only the
// entries named and the blocks at their numbers are read.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "clientfiles/EveryFilePatch.h"
#include "clientfiles/Manifest.h"
#include "clientfiles/ManifestLock.h"
#include "clientfiles/MultiTransaction.h"
#include "uop/UopTile.h"

namespace keelwright {

// A manifest entry loaded: its multi's block and tiles as they would be written.
struct LoadedEntry {
    const ManifestEntry* entry = nullptr;
    std::vector<std::uint8_t> block;  // EncodeMultiData in the plan's record size; empty for a removal
    std::vector<UopTile> tiles;       // the same tiles in UOP form, the lead record first
    std::int32_t components = 0;
};

enum class PlanOutcome { Added, Replaced, Removed, Unchanged, Refused };

// What the plan does with one entry.
struct PlannedMulti {
    const ManifestEntry* entry = nullptr;
    PlanOutcome outcome = PlanOutcome::Unchanged;
    std::int32_t tiles = 0;           // the components the entry writes
    std::optional<std::int32_t> was;  // the components the files held, when they held a readable multi
    std::string refusal;              // why the plan refuses the entry
    MultiChange change;               // what the transaction writes for it
    std::vector<std::string> warnings;  // ReaderWarnings of what it writes
};

// The outcome's sign in the plan: "+", "~", "-", "=", "!".
const char* PlanSign(PlanOutcome outcome);
// The outcome's stable name, as the JSON gives it: "added", "replaced", "removed", "unchanged", "refused".
const char* PlanOutcomeName(PlanOutcome outcome);

// Compares every loaded entry with the files (Multi.mul in records of `size`) and decides its outcome and
// change. UOP entries to write are made with `fileTime`. Only reads; throws Error for files that do not
// read. A number the lock file does not give to this manifest, holding tiles other than the entry's, is
// refused unless the entry says replace = true.
std::vector<PlannedMulti> PlanApply(FileSystem& fileSystem, const PatchTargets& targets, RecordSize size,
                                    const std::vector<LoadedEntry>& loaded, const ManifestLock& lock,
                                    std::int64_t fileTime);

}  // namespace keelwright
