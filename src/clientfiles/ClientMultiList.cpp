#include "clientfiles/ClientMultiList.h"

#include <map>
#include <set>

#include "mulfiles/Slots.h"
#include "uop/UopMultis.h"

namespace keelwright {

ClientMultiList ListClientMultis(FileSystem& fileSystem, const PatchTargets& targets,
                                 std::optional<RecordSize> recordSize) {
    RefuseOneFileTwice(fileSystem, targets);
    ClientMultiList list;
    std::map<std::int32_t, ClientMulti> byNumber;
    const auto at = [&](std::int32_t multi) -> ClientMulti& {
        ClientMulti& entry = byNumber[multi];
        entry.multi = multi;
        entry.item = ItemHexOfSlot(SlotOfMultiNumber(multi));
        return entry;
    };
    if (targets.mul) {
        list.mul = SurveyClientFiles(fileSystem, *targets.mul, recordSize);
        for (const auto& used : list.mul->usedSlots) {
            ClientMulti& entry = at(MultiNumberOfSlot(used.slot));
            entry.inMul = true;
            entry.mulComponents = used.components;
        }
    }
    if (targets.uop) {
        list.uop = SurveyUop(fileSystem, *targets.uop);
        for (const UopSurvey::Multi& multi : list.uop->multis) {
            ClientMulti& entry = at(multi.multi);
            entry.inUop = true;
            entry.uopComponents = static_cast<std::int32_t>(multi.tiles) - (multi.leadRecord ? 1 : 0);
        }
    }
    for (auto& [number, entry] : byNumber) {
        list.multis.push_back(std::move(entry));
    }
    return list;
}

std::vector<std::int32_t> FreeMultiNumbers(const ClientMultiList& list, std::size_t most) {
    std::set<std::int32_t> held;
    for (const ClientMulti& multi : list.multis) {
        held.insert(multi.multi);
    }
    const std::int32_t end = list.mul ? list.mul->slotCount : kHighestUopMulti + 1;
    std::vector<std::int32_t> free;
    for (std::int32_t multi = 0; multi < end && free.size() < most; ++multi) {
        if (held.count(multi) == 0) {
            free.push_back(multi);
        }
    }
    return free;
}

}  // namespace keelwright
