// The writing half of a patch. The block goes to Multi.mul first, appended to a file of whole records and
// never below its end, and the index entry last, each flushed to disk before the next step, so an index entry
// never points at a block that is not wholly on disk. Every failed step puts back what it changed before it
// throws.
#include "model/ComponentTable.h"
#include "model/Error.h"
#include "model/NumberText.h"
#include "model/PathText.h"
#include "mulfiles/Patcher.h"
#include "mulfiles/RecordFile.h"
#include "mulfiles/SphereReading.h"

namespace keelwright {
namespace {

// The failure that stopped a patch, telling also that putting things back failed.
Error undoFailed(const Error& cause, const Error& undo) {
    return Error(cause.number(),
                 cause.description() + "; undoing the change also failed: " + undo.description());
}

void restore(RandomAccessFile& file, const MultiDataUndo& undo) {
    file.truncate(undo.originalSize);
    file.sync();
}

}  // namespace

MultiDataUndo WriteMultiData(FileSystem& fileSystem, const std::filesystem::path& multiMul,
                             std::int32_t firstFreeRecord, std::span<const std::uint8_t> block,
                             RecordSize size) {
    RecordFile data(fileSystem, multiMul, OpenMode::ReadWrite, size);
    if (data.firstFreeRecord() != firstFreeRecord) {
        throw Error(ErrorNumber::PathAccess,
                    "the file changed since its first free record was found; nothing was "
                    "written")
            .at(data.name());
    }
    MultiDataUndo undo;
    undo.originalSize = data.size();
    if (std::optional<Error> refusal = PartialRecordRefusal(undo.originalSize, size, data.name())) {
        throw *refusal;
    }
    undo.blockEnd = undo.originalSize + block.size();
    try {
        // The file takes its new length in one step before the block goes in, so that a crash at any
        // instant leaves it a whole number of records, the old number or the new.
        data.file().truncate(undo.blockEnd);
        data.writeRecords(firstFreeRecord, block);
        data.sync();
    } catch (const Error& e) {
        try {
            restore(data.file(), undo);
        } catch (const Error& undoError) {
            throw undoFailed(e, undoError);
        }
        throw;
    }
    return undo;
}

void RestoreMultiData(FileSystem& fileSystem, const std::filesystem::path& multiMul,
                      const MultiDataUndo& undo) {
    RecordFile data(fileSystem, multiMul, OpenMode::ReadWrite);
    if (data.size() != undo.blockEnd) {
        throw Error(ErrorNumber::PathAccess,
                    "the file was changed by another program after the block was "
                    "written, so the block stays where it is")
            .at(data.name());
    }
    restore(data.file(), undo);
}

namespace {

// Writes the entry over `slot` once `accept` has taken its old bytes, and flushes it; a failed write puts
// the old bytes back.
template <typename Accept>
void writeSlot(FileSystem& fileSystem, const std::filesystem::path& multiIdx, std::int32_t slot,
               const IndexRecord& entry, Accept accept) {
    RecordFile index(fileSystem, multiIdx, OpenMode::ReadWrite);
    if (slot < 1 || slot > index.wholeRecords()) {
        throw Error(ErrorNumber::BadRecordNumber, "slot " + NumberText(slot) + " is not a slot of the index")
            .at(index.name());
    }
    const RecordBytes old = index.read(slot);
    accept(IndexRecord::decode(old), index.name());
    try {
        index.write(slot, entry.encode());
        index.sync();
    } catch (const Error& e) {
        try {
            index.write(slot, old);
            index.sync();
        } catch (const Error& undoError) {
            throw undoFailed(e, undoError);
        }
        throw;
    }
}

}  // namespace

void WriteIndexEntry(FileSystem& fileSystem, const std::filesystem::path& multiIdx, std::int32_t slot,
                     const IndexRecord& entry) {
    writeSlot(fileSystem, multiIdx, slot, entry, [&](const IndexRecord& old, const std::string& name) {
        if (!old.isFree()) {
            throw Error(
                ErrorNumber::PathAccess,
                "slot " + NumberText(slot) + " is no longer free: the index changed since it was searched")
                .at(name);
        }
    });
}

void RewriteIndexEntry(FileSystem& fileSystem, const std::filesystem::path& multiIdx, std::int32_t slot,
                       const IndexRecord& expected, const IndexRecord& entry) {
    writeSlot(fileSystem, multiIdx, slot, entry, [&](const IndexRecord& old, const std::string& name) {
        if (old != expected) {
            throw Error(ErrorNumber::PathAccess,
                        "slot " + NumberText(slot) + " changed since it was read; nothing was written")
                .at(name);
        }
    });
}

PatchResult PatchMulti(FileSystem& fileSystem, const ComponentTable& table, const ClientFiles& files,
                       const std::function<void(std::int32_t slot)>& beforeWriting,
                       std::optional<RecordSize> recordSize) {
    if (fileSystem.sameFile(files.multiIdx, files.multiMul)) {
        throw Error(ErrorNumber::PathAccess, "Multi.idx and Multi.mul name the same file")
            .at(PathText(files.multiIdx));
    }
    // The slot search comes first: a missing or unusable index ends the window's program whatever else
    // is wrong.
    const std::int32_t slot = FindFreeSlot(fileSystem, files.multiIdx);
    const RecordSizeDecision decision = DecideRecordSize(fileSystem, files, recordSize);
    const RecordSize size = decision.sizeForPatch();
    const std::int32_t firstFreeRecord = FindFirstFreeRecord(fileSystem, files.multiMul, size);
    const IndexRecord entry = NewIndexEntry(firstFreeRecord, table.Count, size);
    if (slot == 1) {
        RefuseSphereMisreading(entry, size);
    }
    if (beforeWriting) {
        beforeWriting(slot);
    }
    const std::vector<std::uint8_t> block = EncodeMultiData(table, size);
    const MultiDataUndo undo = WriteMultiData(fileSystem, files.multiMul, firstFreeRecord, block, size);
    try {
        WriteIndexEntry(fileSystem, files.multiIdx, slot, entry);
    } catch (const Error& e) {
        try {
            RestoreMultiData(fileSystem, files.multiMul, undo);
        } catch (const Error& undoError) {
            throw undoFailed(e, undoError);
        }
        throw;
    }
    return PatchResult{slot, firstFreeRecord, entry.Offset, entry.Length, decision};
}

}  // namespace keelwright
