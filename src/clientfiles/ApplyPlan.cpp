#include "clientfiles/ApplyPlan.h"

#include <algorithm>
#include <map>

#include "clientfiles/ReaderWarnings.h"
#include "model/Error.h"
#include "model/NumberText.h"
#include "mulfiles/ComponentRecord.h"
#include "mulfiles/Extractor.h"
#include "mulfiles/RecordFile.h"
#include "mulfiles/Slots.h"
#include "mulfiles/SphereReading.h"
#include "uop/UopMultis.h"
#include "uop/UopNameHash.h"
#include "uop/UopTileRecords.h"

namespace keelwright {
namespace {

// What one file holds at a number.
struct Held {
    enum { Free, Same, Other } state = Free;
    std::optional<std::int32_t> components;  // of a multi that reads
    std::string hash;                        // TileHash of its tiles; empty when they do not read
    bool duplicates = false;                 // MultiCollection.uop has more than one entry of the name
};

Held heldInMul(RecordFile& index, RecordFile& data, RecordSize size, const LoadedEntry& loaded) {
    const std::int32_t slot = SlotOfMultiNumber(loaded.entry->number);
    const IndexRecord entry = IndexRecord::decode(index.read(slot));
    Held held;
    if (entry.isFree() || entry.isZero()) {
        return held;
    }
    held.state = Held::Other;
    if (entry.Offset < 0 || !entry.hasWholeBlockLength(size) || !entry.blockFitsIn(data.size())) {
        return held;  // a damaged entry: its tiles are no one's that the lock file knows
    }
    std::vector<std::uint8_t> block(static_cast<std::size_t>(entry.Length));
    if (data.file().readAt(static_cast<std::uint64_t>(entry.Offset), block) != block.size()) {
        return held;
    }
    if (!loaded.block.empty() && block == loaded.block) {
        held.state = Held::Same;
        return held;  // its count and hash matter only to a multi that is replaced or removed
    }
    const bool lead = ComponentRecord::decode(block, size).isLead();
    held.components = static_cast<std::int32_t>(block.size() / BytesOf(size)) - (lead ? 1 : 0);
    try {
        held.hash = TileHash(UopTilesOfBlock(block, size));
    } catch (const Error&) {
        held.hash.clear();  // flags with no UOP form: never tiles this manifest wrote
    }
    return held;
}

Held heldInUop(UopContainer& container, const std::vector<const UopContainer::Located*>& live,
               const LoadedEntry& loaded) {
    Held held;
    if (live.empty()) {
        return held;
    }
    held.state = Held::Other;
    held.duplicates = live.size() > 1;
    try {
        const UopMulti multi = ReadUopMulti(container, *live.back(), loaded.entry->number);
        if (!loaded.block.empty() &&
            multi.payload.number == static_cast<std::uint32_t>(loaded.entry->number) &&
            multi.payload.tiles == loaded.tiles) {
            held.state = Held::Same;
            return held;
        }
        held.components = static_cast<std::int32_t>(multi.payload.components().size());
        held.hash = TileHash(multi.payload.tiles);
    } catch (const Error&) {
        held.components.reset();  // a damaged entry, replaced like any multi the lock file does not name
    }
    return held;
}

// Whether the manifest may replace or remove what the file holds at the entry's number.
bool owned(const ManifestEntry& entry, const Held& held, const ManifestLock& lock, const char* file) {
    if (entry.replace) {
        return true;
    }
    const auto locked = lock.find(entry.number);
    return locked != lock.end() && !held.hash.empty() && locked->second.owns(file, held.hash);
}

std::string refusal(const ManifestEntry& entry, const Held& held) {
    const std::string what = held.components ? NumberText(*held.components) + " tiles" : "a damaged multi";
    return "multi " + MultiHex(entry.number) + " holds " + what +
           " that this manifest did not write (a multi of the client's own?): set replace = true in its "
           "entry "
           "to " +
           (entry.remove ? "remove" : "replace") + " it";
}

// Refuses the entry when what it leaves at multi 0 makes Sphere misread Multi.mul (RefuseSphereMisreading).
bool refuseSphereMisreading(PlannedMulti& planned, RecordSize size) {
    const IndexRecord multi0 =
        planned.change.mul == MulChange::Free
            ? IndexRecord::free()
            : IndexRecord{0, static_cast<std::int32_t>(planned.change.block.size()), -1};
    try {
        RefuseSphereMisreading(multi0, size);
        return false;
    } catch (const Error& e) {
        planned.refusal = e.reason();
        return true;
    }
}

PlannedWrite writeOf(const PlannedMulti& planned, bool uopBeside) {
    PlannedWrite write;
    write.multi = planned.change.multi;
    write.intoMul = planned.change.mul == MulChange::Write;
    write.intoUop = planned.change.uop == UopChange::Put;
    if (planned.change.uopEntry) {
        write.uopPayloadBytes = std::max<std::int64_t>(planned.change.uopEntry->storedLength(),
                                                       planned.change.uopEntry->decompressedLength);
    }
    write.uopBesideMul = uopBeside;
    return write;
}

}  // namespace

const char* PlanSign(PlanOutcome outcome) {
    constexpr const char* kSigns[] = {"+", "~", "-", "=", "!"};
    return kSigns[static_cast<int>(outcome)];
}

const char* PlanOutcomeName(PlanOutcome outcome) {
    constexpr const char* kNames[] = {"added", "replaced", "removed", "unchanged", "refused"};
    return kNames[static_cast<int>(outcome)];
}

std::vector<PlannedMulti> PlanApply(FileSystem& fileSystem, const PatchTargets& targets, RecordSize size,
                                    const std::vector<LoadedEntry>& loaded, const ManifestLock& lock,
                                    std::int64_t fileTime) {
    std::optional<RecordFile> index;
    std::optional<RecordFile> data;
    if (targets.mul) {
        index.emplace(fileSystem, targets.mul->multiIdx, OpenMode::Read);
        data.emplace(fileSystem, targets.mul->multiMul, OpenMode::Read, size);
    }
    std::optional<UopContainer> container;
    std::map<std::uint64_t, std::vector<const UopContainer::Located*>> live;  // oldest first
    if (targets.uop) {
        container.emplace(fileSystem, *targets.uop);
        RequireMultiCollection(*container);
        for (const LoadedEntry& l : loaded) {
            live[UopNameHash(MultiEntryName(l.entry->number))];
        }
        for (const UopContainer::Located& located : container->entries()) {
            if (const auto found = live.find(located.entry.NameHash); found != live.end()) {
                found->second.push_back(&located);
            }
        }
        for (auto& [hash, entries] : live) {
            std::stable_sort(entries.begin(), entries.end(),
                             [](const auto* a, const auto* b) { return a->entry.Offset < b->entry.Offset; });
        }
    }

    const bool uopBeside = targets.mul && !targets.uop && UopLiesBeside(targets.mul->multiMul);
    std::vector<PlannedMulti> plan;
    plan.reserve(loaded.size());
    for (const LoadedEntry& l : loaded) {
        const ManifestEntry& entry = *l.entry;
        PlannedMulti planned{&entry, PlanOutcome::Unchanged, l.components, std::nullopt, {}, {}, {}};
        planned.change.multi = entry.number;
        std::optional<Held> mul;
        std::optional<Held> uop;
        if (targets.mul) {
            mul = heldInMul(*index, *data, size, l);
        }
        if (targets.uop) {
            uop = heldInUop(*container, live[UopNameHash(MultiEntryName(entry.number))], l);
        }
        bool anyFree = false;
        bool anyOther = false;
        bool refused = false;
        for (const auto& [held, file] : {std::pair{&mul, "mul"}, std::pair{&uop, "uop"}}) {
            if (!*held) {
                continue;
            }
            const bool used = (*held)->state != Held::Free;
            const bool other = entry.remove ? used : (*held)->state == Held::Other;
            anyFree = anyFree || !used;
            anyOther = anyOther || other;
            if (other && !planned.was) {
                planned.was = (*held)->components;
            }
            if (other && !owned(entry, **held, lock, file) && !refused) {
                refused = true;
                planned.refusal = refusal(entry, **held);
            }
        }
        if (mul && (entry.remove ? mul->state != Held::Free : mul->state != Held::Same)) {
            planned.change.mul = entry.remove ? MulChange::Free : MulChange::Write;
            planned.change.block = l.block;
        }
        if (uop && entry.remove && uop->state != Held::Free) {
            planned.change.uop = UopChange::Clear;
        } else if (uop && !entry.remove && uop->state != Held::Same) {
            planned.change.uop = UopChange::Put;
            planned.change.uopEntry = NewMultiEntry(entry.number, l.tiles, fileTime);
        } else if (uop && uop->duplicates) {
            planned.change.uop = UopChange::Tidy;
        }
        if (!refused && entry.number == 0 && planned.change.mul != MulChange::None) {
            refused = refuseSphereMisreading(planned, size);
        }
        if (refused) {
            planned.outcome = PlanOutcome::Refused;
        } else if (entry.remove) {
            planned.outcome = anyOther ? PlanOutcome::Removed : PlanOutcome::Unchanged;
        } else {
            planned.outcome = anyOther  ? PlanOutcome::Replaced
                              : anyFree ? PlanOutcome::Added
                                        : PlanOutcome::Unchanged;
        }
        if (planned.outcome == PlanOutcome::Added || planned.outcome == PlanOutcome::Replaced) {
            planned.warnings = ReaderWarnings(writeOf(planned, uopBeside));
        }
        plan.push_back(std::move(planned));
    }
    return plan;
}

}  // namespace keelwright
