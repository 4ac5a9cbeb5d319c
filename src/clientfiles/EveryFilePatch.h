#pragma once

// One patch of one multi into every client file given, under one multi number: Multi.idx and Multi.mul,
// which Sphere reads, and MultiCollection.uop, which the game client, ClassicUO, ServUO and ModernUO read
// when it is there.
//
// Order of the writes, each flushed before the next:
//   1. the block at the end of Multi.mul, which no reader sees until its index entry points at it;
//   2. the whole add to MultiCollection.uop (its data, the table entry, which makes it visible, the counts);
//   3. the entry of Multi.idx, one 12-byte write in place, which makes the block visible.
// Each file alone is written data first and pointer last, so a crash at any instant leaves each file as
// before or as after; a crash between two steps leaves the one file with the multi and the other without,
// and the next patch passes over that number in both. Multi.idx comes last because its step is the least
// likely to fail (it cannot fill the disk) while its undo is the cheapest, and the UOP add, the step most
// likely to fail (it appends data and maybe a table block), comes before it, so that a failure there
// needs only Multi.mul cut back. A failure at any step puts back every file written before it: both (or
// all three) or none.
//
// A patch at a chosen number that replaces a multi runs the same steps: the new block is appended, the UOP
// gets the new entry and only then has the old one cleared (ReplaceUopEntry), and the slot of Multi.idx is
// rewritten in place to point at the new block. The old block stays in Multi.mul as dead bytes, never
// moved or overwritten, so a crash at any instant leaves each file with the old multi or the new one.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "clientfiles/MultiHoldings.h"
#include "clientfiles/PatchTargets.h"
#include "mulfiles/ClientFiles.h"
#include "mulfiles/FileSystem.h"
#include "mulfiles/Patcher.h"
#include "mulfiles/Slots.h"
#include "uop/UopMultis.h"

namespace keelwright {

struct ComponentTable;

// How a patch is made.
struct PatchOptions {
    // The multi number to patch at (slot multi + 1) in every target; nothing: ChooseMultiNumber's.
    std::optional<std::int32_t> multi;
    // With `multi`: what the targets hold at that number is replaced. Without it a number that any target
    // holds stops the patch, naming the file and what it holds, before anything is written.
    bool replace = false;
    // The table's records exactly as they are (EncodeExactMultiData): no lead record, the Flags whole.
    bool exact = false;
    // The record size of Multi.mul; by default the files tell (DecideRecordSize).
    std::optional<RecordSize> recordSize;
    // Called with the slot of the number once the searches are done, before any write; may throw to stop.
    std::function<void(std::int32_t slot)> beforeWriting;
};

// What a completed PatchEveryFile did.
struct EveryFilePatchResult {
    std::int32_t multi = 0;          // the one multi number, in every file
    std::optional<PatchResult> mul;  // with Multi.idx and Multi.mul: slot multi + 1, the block, the size
    std::optional<UopMultiAdded> uop;
    MultiHoldings replaced;  // what the targets held at the number before (nothing for a free number)
    // What a reader will not see as written (ReaderWarnings), and what the patch left out: part ids, which
    // Multi.mul has no place for.
    std::vector<std::string> warnings;
};

// The multi number a patch into the targets takes, and the slot with Multi.idx: with Multi.idx and the UOP,
// the first M whose slot M + 1 is free and that the UOP has no entry for; with Multi.idx alone its first
// free slot; with the UOP alone its first number without an entry. Throws as FindFreeSlot does, and Error
// when the index ends before a slot that the UOP can take too. Only reads.
std::int32_t ChooseMultiNumber(FileSystem& fileSystem, const PatchTargets& targets);

// Patches the table into every target under one multi number (ChooseMultiNumber), in the order above.
// `beforeWriting` gets the slot of that number (M + 1, also with the UOP alone, for the item scripts) once
// the searches are done; a caller may throw there to stop the patch. Everything is read, decided, converted
// and compressed before the first write: the
// slot and the number, the record size (`recordSize` when given), a UOP file that is not version 4, two
// targets that are one file, and a component that has no UOP form all throw with every file untouched.
// The UOP gets the same tiles as Multi.mul, the lead record first (UOP flags 1), with the time stamp
// `fileTime` (a Windows FILETIME). Completes or throws; after a throw every file is as it was. Throws
// UnusableIndexError as PatchMulti does.
EveryFilePatchResult PatchEveryFile(FileSystem& fileSystem, const ComponentTable& table,
                                    const PatchTargets& targets, std::int64_t fileTime,
                                    const std::function<void(std::int32_t slot)>& beforeWriting = {},
                                    std::optional<RecordSize> recordSize = std::nullopt);

// Patches as above with the options: at a chosen number (refused as WhatFilesHold refuses, and when a
// target holds the number unless `replace`), replacing, exactly. With the UOP alone an exact patch converts
// the tiles as 16-byte records, so that a Flags word above 32 bits keeps its upper half.
EveryFilePatchResult PatchEveryFile(FileSystem& fileSystem, const ComponentTable& table,
                                    const PatchTargets& targets, std::int64_t fileTime,
                                    const PatchOptions& options);

}  // namespace keelwright
