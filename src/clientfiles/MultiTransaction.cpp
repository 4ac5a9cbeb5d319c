#include "clientfiles/MultiTransaction.h"

#include <algorithm>
#include <set>

#include "clientfiles/UopTransactionSteps.h"
#include "model/Error.h"
#include "model/NumberText.h"
#include "model/PathText.h"
#include "mulfiles/IndexRecord.h"
#include "mulfiles/Patcher.h"
#include "mulfiles/RecordSizeDecision.h"
#include "mulfiles/Slots.h"
#include "mulfiles/SphereReading.h"
#include "mulfiles/UopRefusal.h"

namespace keelwright {
namespace {

// The failure that stopped a transaction, telling also that putting things back failed.
Error undoFailed(const Error& cause, const Error& undo) {
    return Error(cause.number(),
                 cause.description() + "; undoing the change also failed: " + undo.description());
}

// The Multi.idx and Multi.mul part (steps 1 and 7): the blocks appended at the end of Multi.mul, which
// must be a whole number of records, and the index entries.
class MulSteps {
public:
    MulSteps(FileSystem& fileSystem, const ClientFiles& files, RecordSize size,
             std::span<const MultiChange> changes, WriteCounts& counts)
        : index_(fileSystem, files.multiIdx, counts), data_(fileSystem, files.multiMul, counts) {
        RefuseUopContainer(index_.file());
        RefuseUopContainer(data_.file());
        const std::uint64_t bytes = BytesOf(size);
        if (std::optional<Error> refusal =
                PartialRecordRefusal(data_.originalSize(), size, data_.file().name())) {
            throw *refusal;
        }
        const auto firstFree = static_cast<std::int64_t>(data_.originalSize() / bytes) + 1;
        if (firstFree > std::numeric_limits<std::int32_t>::max()) {
            throw Error(ErrorNumber::Overflow, "is too large for a 32-bit Offset; nothing was written")
                .at(data_.file().name());
        }
        blockStart_ = static_cast<std::uint64_t>(firstFree - 1) * bytes;
        auto record = static_cast<std::int32_t>(firstFree);
        const auto slots = static_cast<std::int64_t>(index_.originalSize() / kRecordSize);
        for (const MultiChange& change : changes) {
            if (change.mul == MulChange::None) {
                continue;
            }
            const std::int32_t slot = SlotOfMultiNumber(change.multi);
            if (slot > slots) {
                throw Error(ErrorNumber::BadRecordNumber,
                            SlotText(slot) + " lies past the end of the index, which has " +
                                NumberText(slots) + " slots; nothing was written")
                    .at(index_.file().name());
            }
            IndexRecord entry{-1, -1, -1};
            if (change.mul == MulChange::Write) {
                const auto components = static_cast<std::int32_t>(change.block.size() / bytes) - 1;
                entry = NewIndexEntry(record, components, size);
                record += components + 1;
                blocks_.insert(blocks_.end(), change.block.begin(), change.block.end());
            }
            if (change.multi == 0) {
                RefuseSphereMisreading(entry, size);
            }
            entries_.emplace_back(slot, entry);
        }
    }

    void appendBlocks() {
        if (!blocks_.empty()) {
            data_.grow(blockStart_ + blocks_.size());
            data_.write(blockStart_, blocks_);
            data_.flush();
        }
    }

    // One write per entry, as the patcher writes it: a write cut short can then spoil no other slot.
    void writeIndex() {
        for (const auto& [slot, entry] : entries_) {
            index_.write(static_cast<std::uint64_t>(ByteOffsetOfSlot(slot)), entry.encode());
        }
        index_.flush();
    }

    void undo() {
        index_.undo();
        data_.undo();
    }

private:
    JournaledFile index_;
    JournaledFile data_;
    std::uint64_t blockStart_ = 0;
    std::vector<std::uint8_t> blocks_;
    std::vector<std::pair<std::int32_t, IndexRecord>> entries_;  // slot and entry
};

void check(FileSystem& fileSystem, const PatchTargets& targets, std::span<const MultiChange> changes) {
    std::set<std::int32_t> numbers;
    for (const MultiChange& change : changes) {
        if (!numbers.insert(change.multi).second) {
            throw Error(ErrorNumber::InvalidCall, "multi " + NumberText(change.multi) + " is changed twice");
        }
        if ((change.mul != MulChange::None && !targets.mul) ||
            (change.uop != UopChange::None && !targets.uop) ||
            (change.uop == UopChange::Put) != change.uopEntry.has_value()) {
            throw Error(ErrorNumber::InvalidCall,
                        "the change of multi " + NumberText(change.multi) + " does not fit the files given");
        }
    }
    if (targets.mul && fileSystem.sameFile(targets.mul->multiIdx, targets.mul->multiMul)) {
        throw Error(ErrorNumber::PathAccess, "Multi.idx and Multi.mul name the same file")
            .at(PathText(targets.mul->multiIdx));
    }
    if (targets.mul && targets.uop) {
        for (const auto& file : {targets.mul->multiIdx, targets.mul->multiMul}) {
            if (fileSystem.sameFile(*targets.uop, file)) {
                throw Error(ErrorNumber::PathAccess,
                            "MultiCollection.uop and " + PathText(file.filename()) + " name the same file")
                    .at(PathText(*targets.uop));
            }
        }
    }
}

}  // namespace

WriteCounts WriteMultiTransaction(FileSystem& fileSystem, const PatchTargets& targets, RecordSize size,
                                  std::span<const MultiChange> changes) {
    check(fileSystem, targets, changes);
    WriteCounts counts;
    const auto touches = [&](auto member, auto none) {
        return std::any_of(changes.begin(), changes.end(),
                           [&](const MultiChange& c) { return c.*member != none; });
    };
    std::optional<MulSteps> mul;
    std::optional<UopTransactionSteps> uop;
    if (targets.mul && touches(&MultiChange::mul, MulChange::None)) {
        mul.emplace(fileSystem, *targets.mul, size, changes, counts);
    }
    if (targets.uop && touches(&MultiChange::uop, UopChange::None)) {
        uop.emplace(fileSystem, *targets.uop, changes, counts);
    }
    try {
        if (mul) {
            mul->appendBlocks();
        }
        if (uop) {
            uop->appendData();
            uop->writeNewEntries();
            uop->publishNewEntries();
            uop->clearOffsets();
            uop->clearTheRest();
        }
        if (mul) {
            mul->writeIndex();
        }
    } catch (const Error& e) {
        try {
            if (uop) {
                uop->undo();
            }
            if (mul) {
                mul->undo();
            }
        } catch (const Error& undoError) {
            throw undoFailed(e, undoError);
        }
        throw;
    }
    return counts;
}

}  // namespace keelwright
