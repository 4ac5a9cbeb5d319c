#include "clientfiles/EveryFilePatch.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "clientfiles/ReaderWarnings.h"
#include "clientfiles/UndoSteps.h"
#include "model/ComponentTable.h"
#include "model/Error.h"
#include "model/NumberText.h"
#include "model/PathText.h"
#include "mulfiles/Slots.h"
#include "mulfiles/SphereReading.h"
#include "uop/UopTileRecords.h"
#include "uop/UopWriter.h"

namespace keelwright {

std::int32_t ChooseMultiNumber(FileSystem& fileSystem, const PatchTargets& targets) {
    if (!targets.uop) {
        if (!targets.mul) {
            throw Error(ErrorNumber::InvalidCall,
                        "a patch needs Multi.idx and Multi.mul, MultiCollection.uop or all three");
        }
        return MultiNumberOfSlot(FindFreeSlot(fileSystem, targets.mul->multiIdx));
    }
    // A missing or unusable index ends the window's program whatever else is wrong, so it is found first.
    const std::int32_t firstFree = targets.mul ? FindFreeSlot(fileSystem, targets.mul->multiIdx) : 0;
    const UopContainer container(fileSystem, *targets.uop);
    RequireMultiCollection(container);
    if (!targets.mul) {
        return FirstMultiWithoutEntry(container);
    }
    const std::optional<std::int32_t> slot =
        FindFreeSlotWhere(fileSystem, targets.mul->multiIdx, [&](std::int32_t free) {
            const std::int32_t multi = MultiNumberOfSlot(free);
            return multi <= kHighestUopMulti && !HasMultiEntry(container, multi);
        });
    if (!slot) {
        throw Error(ErrorNumber::BadRecordNumber, "has no free slot from slot " + NumberText(firstFree) +
                                                      " on whose multi number " + container.name() +
                                                      " lacks too; nothing was written")
            .at(PathText(targets.mul->multiIdx));
    }
    return MultiNumberOfSlot(*slot);
}

EveryFilePatchResult PatchEveryFile(FileSystem& fileSystem, const ComponentTable& table,
                                    const PatchTargets& targets, std::int64_t fileTime,
                                    const std::function<void(std::int32_t slot)>& beforeWriting,
                                    std::optional<RecordSize> recordSize) {
    PatchOptions options;
    options.beforeWriting = beforeWriting;
    options.recordSize = recordSize;
    return PatchEveryFile(fileSystem, table, targets, fileTime, options);
}

EveryFilePatchResult PatchEveryFile(FileSystem& fileSystem, const ComponentTable& table,
                                    const PatchTargets& targets, std::int64_t fileTime,
                                    const PatchOptions& options) {
    RefuseOneFileTwice(fileSystem, targets);
    EveryFilePatchResult result;
    if (options.multi) {
        result.multi = *options.multi;
        result.replaced = WhatFilesHold(fileSystem, targets, result.multi, options.recordSize);
        if (result.replaced.any() && !options.replace) {
            throw Error(ErrorNumber::PathAccess, MultiText(result.multi) + " is taken: " +
                                                     result.replaced.describe() + "; nothing was written");
        }
    } else {
        result.multi = ChooseMultiNumber(fileSystem, targets);
        result.replaced.multi = result.multi;
    }
    // With the UOP alone no file gives a record size; an exact multi takes the wide one, which carries a
    // whole 64-bit Flags word.
    RecordSize size = options.exact ? RecordSize::Sixteen : RecordSize::Twelve;
    if (targets.mul) {
        const ClientFiles& files = *targets.mul;
        const RecordSizeDecision decision = DecideRecordSize(fileSystem, files, options.recordSize);
        size = decision.sizeForPatch();
        const std::int32_t firstFreeRecord = FindFirstFreeRecord(fileSystem, files.multiMul, size);
        result.mul = PatchResult{SlotOfMultiNumber(result.multi), firstFreeRecord, 0, 0, decision};
    }
    if (targets.uop) {
        result.uop = UopMultiAdded{result.multi, MultiEntryName(result.multi), 0, 0, {}};
    }
    if (options.beforeWriting) {
        options.beforeWriting(SlotOfMultiNumber(result.multi));
    }
    const std::vector<std::uint8_t> block =
        options.exact ? EncodeExactMultiData(table, size) : EncodeMultiData(table, size);
    IndexRecord entry;
    if (result.mul) {
        entry = IndexEntryOfBlock(result.mul->firstFreeRecord, block.size(), size);
        if (result.multi == 0) {
            RefuseSphereMisreading(entry, size);
        }
        result.mul->offset = entry.Offset;
        result.mul->length = entry.Length;
    }
    if (const std::size_t parts = table.PartCount(); result.mul && parts > 0) {
        result.warnings.push_back(PathText(targets.mul->multiMul) + " has no place for part ids: the " +
                                  NumberText(static_cast<std::int64_t>(parts)) +
                                  " part ids of the multi's tiles were left out of it");
    }
    std::optional<UopNewEntry> uopEntry;
    if (targets.uop) {
        std::vector<UopTile> tiles = UopTilesOfBlock(block, size);
        AttachTableParts(tiles, table);
        uopEntry = NewMultiEntry(result.multi, tiles, fileTime);
        result.uop->storedLength = uopEntry->storedLength();
        result.uop->length = uopEntry->decompressedLength;
    }
    for (std::string& warning :
         ReaderWarnings(targets, result.multi,
                        result.uop ? std::max(result.uop->storedLength, result.uop->length) : 0)) {
        result.warnings.push_back(std::move(warning));
    }

    UndoSteps undos;
    try {
        if (targets.mul) {
            const MultiDataUndo undo =
                WriteMultiData(fileSystem, targets.mul->multiMul, result.mul->firstFreeRecord, block, size);
            undos.add([&, undo] { RestoreMultiData(fileSystem, targets.mul->multiMul, undo); });
        }
        if (targets.uop) {
            UopContainer container(fileSystem, *targets.uop, OpenMode::ReadWrite);
            result.uop->added =
                options.replace ? ReplaceUopEntry(container, *uopEntry) : AddUopEntry(container, *uopEntry);
            undos.add([&] { RestoreUopFile(fileSystem, *targets.uop, result.uop->added.undo); });
        }
        if (targets.mul && options.multi) {
            RewriteIndexEntry(fileSystem, targets.mul->multiIdx, result.mul->slot, result.replaced.indexEntry,
                              entry);
        } else if (targets.mul) {
            WriteIndexEntry(fileSystem, targets.mul->multiIdx, result.mul->slot, entry);
        }
    } catch (const Error& e) {
        undos.undoAndRethrow(e);
    }
    return result;
}

}  // namespace keelwright
