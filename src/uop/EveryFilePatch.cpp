#include "uop/EveryFilePatch.h"

#include <vector>

#include "model/ComponentTable.h"
#include "model/Error.h"
#include "model/NumberText.h"
#include "model/PathText.h"
#include "mulfiles/Slots.h"
#include "uop/UopTileRecords.h"
#include "uop/UopWriter.h"

namespace keelwright {
namespace {

// The failure that stopped a patch, telling also that putting things back failed.
Error undoFailed(const Error& cause, const Error& undo) {
    return Error(cause.number(),
                 cause.description() + "; undoing the change also failed: " + undo.description());
}

// Runs the undo steps of the files written so far, the last written first, then throws the cause.
[[noreturn]] void undoAndRethrow(const Error& cause, const std::vector<std::function<void()>>& undos) {
    for (auto undo = undos.rbegin(); undo != undos.rend(); ++undo) {
        try {
            (*undo)();
        } catch (const Error& e) {
            throw undoFailed(cause, e);
        }
    }
    throw cause;
}

void refuseOneFileTwice(FileSystem& fileSystem, const PatchTargets& targets) {
    const auto refuse = [&](const std::filesystem::path& a, const std::filesystem::path& b,
                            const char* what) {
        if (fileSystem.sameFile(a, b)) {
            throw Error(ErrorNumber::PathAccess, std::string(what) + " name the same file").at(PathText(a));
        }
    };
    if (targets.mul) {
        refuse(targets.mul->multiIdx, targets.mul->multiMul, "Multi.idx and Multi.mul");
    }
    if (targets.mul && targets.uop) {
        refuse(*targets.uop, targets.mul->multiIdx, "MultiCollection.uop and Multi.idx");
        refuse(*targets.uop, targets.mul->multiMul, "MultiCollection.uop and Multi.mul");
    }
}

}  // namespace

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
    refuseOneFileTwice(fileSystem, targets);
    EveryFilePatchResult result;
    result.multi = ChooseMultiNumber(fileSystem, targets);
    RecordSize size = RecordSize::Twelve;
    IndexRecord entry;
    if (targets.mul) {
        const ClientFiles& files = *targets.mul;
        const RecordSizeDecision decision = DecideRecordSize(fileSystem, files, recordSize);
        size = decision.sizeForPatch();
        const std::int32_t firstFreeRecord = FindFirstFreeRecord(fileSystem, files.multiMul, size);
        entry = NewIndexEntry(firstFreeRecord, table.Count, size);
        result.mul = PatchResult{SlotOfMultiNumber(result.multi), firstFreeRecord, entry.Offset, entry.Length,
                                 decision};
    }
    std::optional<UopNewEntry> uopEntry;
    if (targets.uop) {
        result.uop = UopMultiAdded{result.multi, MultiEntryName(result.multi), 0, 0, {}};
    }
    if (beforeWriting) {
        beforeWriting(SlotOfMultiNumber(result.multi));
    }
    const std::vector<std::uint8_t> block = EncodeMultiData(table, size);
    if (targets.uop) {
        uopEntry = NewMultiEntry(result.multi, UopTilesOfBlock(block, size), fileTime);
        result.uop->storedLength = uopEntry->storedLength();
        result.uop->length = uopEntry->decompressedLength;
    }

    std::vector<std::function<void()>> undos;
    try {
        if (targets.mul) {
            const MultiDataUndo undo =
                WriteMultiData(fileSystem, targets.mul->multiMul, result.mul->firstFreeRecord, block, size);
            undos.emplace_back([&, undo] { RestoreMultiData(fileSystem, targets.mul->multiMul, undo); });
        }
        if (targets.uop) {
            result.uop->added = AddUopEntry(fileSystem, *targets.uop, *uopEntry);
            undos.emplace_back([&] { RestoreUopFile(fileSystem, *targets.uop, result.uop->added.undo); });
        }
        if (targets.mul) {
            WriteIndexEntry(fileSystem, targets.mul->multiIdx, result.mul->slot, entry);
        }
    } catch (const Error& e) {
        undoAndRethrow(e, undos);
    }
    return result;
}

}  // namespace keelwright
