#include "clientfiles/MultiHoldings.h"

#include "model/Error.h"
#include "model/NumberText.h"
#include "mulfiles/ComponentRecord.h"
#include "mulfiles/Extractor.h"
#include "mulfiles/RecordFile.h"
#include "mulfiles/RecordSizeDecision.h"
#include "mulfiles/Slots.h"
#include "mulfiles/UnusableIndexError.h"
#include "mulfiles/UopRefusal.h"
#include "uop/UopMultis.h"

namespace keelwright {
namespace {

std::string tilesText(const HeldMulti& held) {
    return held.tiles ? NumberText(*held.tiles) + (*held.tiles == 1 ? " tile" : " tiles")
                      : std::string("a block that does not read");
}

// The tiles of the block, less a lead record first; nothing when it does not read.
std::optional<std::int32_t> mulTiles(FileSystem& fileSystem, const ClientFiles& files, std::int32_t slot,
                                     const IndexRecord& entry, std::optional<RecordSize> recordSize) {
    try {
        const RecordSize size = DecideRecordSize(fileSystem, files, recordSize).size;
        const std::vector<std::uint8_t> block = ReadMultiBlock(fileSystem, files.multiMul, slot, entry, size);
        const bool lead = ComponentRecord::decode(block, size).isLead();
        return entry.recordCount(size) - (lead ? 1 : 0);
    } catch (const Error&) {
        return std::nullopt;
    }
}

}  // namespace

std::string MultiHoldings::describe() const {
    std::string text;
    if (mul) {
        text = "Multi.idx slot 0x" + Hex32(SlotOfMultiNumber(multi)) + " holds " + MultiText(multi) + " (" +
               tilesText(*mul) + ")";
    }
    if (uop) {
        text += (text.empty() ? "" : "; ") + std::string("MultiCollection.uop holds ") + MultiText(multi) +
                " (" + tilesText(*uop) + ")";
    }
    return text;
}

std::string MultiHoldings::replaceQuestion() const {
    std::string where;
    if (mul && uop && mul->tiles == uop->tiles) {
        where = tilesText(*mul) + " in Multi.mul and MultiCollection.uop";
    } else if (mul && uop) {
        where = tilesText(*mul) + " in Multi.mul and " + tilesText(*uop) + " in MultiCollection.uop";
    } else if (mul) {
        where = tilesText(*mul) + " in Multi.mul";
    } else if (uop) {
        where = tilesText(*uop) + " in MultiCollection.uop";
    }
    return "Multi 0x" + Hex32(multi) + " already holds " + where + ". Replace it?";
}

MultiHoldings WhatFilesHold(FileSystem& fileSystem, const PatchTargets& targets, std::int32_t multi,
                            std::optional<RecordSize> recordSize) {
    MultiHoldings holdings;
    holdings.multi = multi;
    if (multi < 0) {
        throw Error(ErrorNumber::Overflow, MultiText(multi) + " is below 0");
    }
    if (targets.mul) {
        if (!fileSystem.exists(targets.mul->multiIdx)) {
            throw UnusableIndexError(SlotOfMultiNumber(multi), UnusableIndexError::Cause::MissingIndex);
        }
        RecordFile index(fileSystem, targets.mul->multiIdx, OpenMode::Read);
        RefuseUopContainer(index.file());
        const std::int64_t slots = index.wholeRecords();
        holdings.indexSlots = static_cast<std::int32_t>(std::min<std::int64_t>(slots, 0x7FFFFFFF));
        const std::int32_t slot = SlotOfMultiNumber(multi);
        if (slot > slots) {
            throw Error(ErrorNumber::BadRecordNumber, MultiText(multi) + " needs slot " + NumberText(slot) +
                                                          ", but the index has " + NumberText(slots) +
                                                          " slots (multis 0 to " + NumberText(slots - 1) +
                                                          "); the index is never grown; nothing was written")
                .at(index.name());
        }
        holdings.indexEntry = IndexRecord::decode(index.read(slot));
        if (!holdings.indexEntry.isFree() && !holdings.indexEntry.isZero()) {
            holdings.mul =
                HeldMulti{mulTiles(fileSystem, *targets.mul, slot, holdings.indexEntry, recordSize)};
        }
        RefuseUopContainer(*fileSystem.open(targets.mul->multiMul, OpenMode::Read));
    }
    if (targets.uop) {
        MultiEntryName(multi);  // throws for a number beyond six digits
        UopContainer container(fileSystem, *targets.uop);
        RequireMultiCollection(container);
        if (HasMultiEntry(container, multi)) {
            HeldMulti held;
            try {
                held.tiles =
                    static_cast<std::int32_t>(ReadUopMulti(container, multi).payload.components().size());
            } catch (const Error&) {
            }
            holdings.uop = held;
        }
    }
    return holdings;
}

}  // namespace keelwright
