#include "clientfiles/MultiRemoval.h"

#include "clientfiles/UndoSteps.h"
#include "model/Error.h"
#include "mulfiles/Patcher.h"
#include "mulfiles/RecordSizeDecision.h"
#include "mulfiles/Slots.h"
#include "mulfiles/SphereReading.h"
#include "uop/UopMultis.h"
#include "uop/UopNameHash.h"
#include "uop/UopWriter.h"

namespace keelwright {

MultiRemoved RemoveMulti(FileSystem& fileSystem, const PatchTargets& targets, std::int32_t multi,
                         std::optional<RecordSize> recordSize) {
    RefuseOneFileTwice(fileSystem, targets);
    MultiRemoved result;
    result.removed = WhatFilesHold(fileSystem, targets, multi, recordSize);
    if (targets.mul) {
        // A removal writes Multi.idx alone, but a Multi.mul that is no Multi.mul says the pair is not what
        // the user meant to change.
        DecideRecordSize(fileSystem, *targets.mul, recordSize).requireWholeRecords();
    }
    if (!result.removed.any()) {
        throw Error(ErrorNumber::BadRecordNumber,
                    "none of the files given holds " + MultiText(multi) + "; nothing was removed");
    }
    if (result.removed.mul && multi == 0) {
        RefuseSphereMisreading(IndexRecord::free(),
                               DecideRecordSize(fileSystem, *targets.mul, recordSize).size);
    }
    UndoSteps undos;
    UopAddResult cleared;
    try {
        if (result.removed.uop) {
            UopContainer container(fileSystem, *targets.uop, OpenMode::ReadWrite);
            cleared = RemoveUopEntry(container, UopNameHash(MultiEntryName(multi)));
            result.uopEntry = cleared.cleared.back();
            result.bytesWritten += cleared.bytesWritten;
            undos.add([&] { RestoreUopFile(fileSystem, *targets.uop, cleared.undo); });
        }
        if (result.removed.mul) {
            result.indexEntry = result.removed.indexEntry;
            RewriteIndexEntry(fileSystem, targets.mul->multiIdx, SlotOfMultiNumber(multi),
                              result.removed.indexEntry, IndexRecord::free());
            result.bytesWritten += kRecordSize;
        }
    } catch (const Error& e) {
        undos.undoAndRethrow(e);
    }
    return result;
}

}  // namespace keelwright
