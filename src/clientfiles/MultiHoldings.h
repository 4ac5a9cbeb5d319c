#pragma once

// What the client files hold at one multi number, asked before a patch at that number (to refuse it, or
// to ask "Replace it?") and before a removal.

#include <cstdint>
#include <optional>
#include <string>

#include "clientfiles/PatchTargets.h"
#include "mulfiles/IndexRecord.h"
#include "mulfiles/RecordLayout.h"

namespace keelwright {

// One file's multi at the number.
struct HeldMulti {
    // Its tiles as extraction counts them (a first lead record left out); nothing when its block or entry
    // does not read.
    std::optional<std::int32_t> tiles;
};

// What each file given holds at multi `multi`.
struct MultiHoldings {
    std::int32_t multi = 0;
    std::int32_t indexSlots = 0;   // with Multi.idx: its whole records
    IndexRecord indexEntry;        // with Multi.idx: slot multi + 1 as it is
    std::optional<HeldMulti> mul;  // Multi.idx slot multi + 1 is neither free nor a zero record
    std::optional<HeldMulti> uop;  // MultiCollection.uop has an entry named for the multi

    bool any() const { return mul || uop; }
    // "Multi.idx slot 0x1401 holds multi 0x1400 (5120) (42 tiles); MultiCollection.uop holds ..." for the
    // files that hold it; empty when none does.
    std::string describe() const;
    // The question the window asks before replacing it: "Multi 0x1400 already holds 42 tiles in Multi.mul
    // and MultiCollection.uop. Replace it?"
    std::string replaceQuestion() const;
};

// Reads what every target holds at the multi, refusing what a patch at that number refuses before
// anything is written: a number past the end of Multi.idx (BadRecordNumber, with its slot count; the
// index is never grown), beyond the UOP's six digits (Overflow), a UOP that is not version 4, a UOP
// container named as Multi.idx or Multi.mul, and a missing Multi.idx (UnusableIndexError, as a patch at the
// first free number throws it). `recordSize` is the size Multi.mul is read in (by default the
// files tell). Only reads.
MultiHoldings WhatFilesHold(FileSystem& fileSystem, const PatchTargets& targets, std::int32_t multi,
                            std::optional<RecordSize> recordSize = std::nullopt);

}  // namespace keelwright
