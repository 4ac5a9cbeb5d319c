#include "mulfiles/ClientFilesSurvey.h"

#include <algorithm>
#include <array>
#include <limits>

#include "model/Error.h"
#include "model/NumberText.h"
#include "mulfiles/ComponentRecord.h"
#include "mulfiles/RecordFile.h"
#include "mulfiles/Slots.h"
#include "mulfiles/UopRefusal.h"

namespace keelwright {
namespace {

using Kind = SurveyProblem::Kind;

std::string slotText(std::int32_t slot) {
    return SlotText(slot);
}

std::string bytesText(const IndexRecord& entry) {
    return "offset " + NumberText(entry.Offset) + ", length " + NumberText(entry.Length);
}

// Blocks that share bytes. Sorted by offset, each block is compared with the one reaching furthest so far,
// so every overlapping block is reported once, against a block it overlaps.
void findOverlaps(const std::vector<ClientFilesSurvey::UsedSlot>& used,
                  std::vector<SurveyProblem>& problems) {
    std::vector<ClientFilesSurvey::UsedSlot> blocks;
    std::copy_if(used.begin(), used.end(), std::back_inserter(blocks),
                 [](const auto& u) { return u.entry.Offset >= 0 && u.entry.Length > 0; });
    std::stable_sort(blocks.begin(), blocks.end(),
                     [](const auto& a, const auto& b) { return a.entry.Offset < b.entry.Offset; });
    const ClientFilesSurvey::UsedSlot* furthest = nullptr;
    const auto end = [](const ClientFilesSurvey::UsedSlot& u) {
        return static_cast<std::int64_t>(u.entry.Offset) + u.entry.Length;
    };
    for (const auto& block : blocks) {
        if (furthest != nullptr && block.entry.Offset < end(*furthest)) {
            problems.push_back({Kind::Overlap, block.slot, furthest->slot,
                                slotText(block.slot) + ": its block (" + bytesText(block.entry) +
                                    ") overlaps the block of " + slotText(furthest->slot) + " (" +
                                    bytesText(furthest->entry) + ")"});
        }
        if (furthest == nullptr || end(block) > end(*furthest)) {
            furthest = &block;
        }
    }
}

void checkBlock(const ClientFilesSurvey::UsedSlot& used, std::uint64_t dataBytes, RecordSize size,
                std::vector<SurveyProblem>& problems) {
    if (!used.entry.hasWholeBlockLength(size)) {
        problems.push_back({Kind::BadLength, used.slot, 0,
                            slotText(used.slot) + ": Length " + NumberText(used.entry.Length) +
                                " is not a whole positive multiple of " +
                                NumberText(static_cast<std::int64_t>(BytesOf(size)))});
    }
    if (used.entry.Length > 0 && !used.entry.blockFitsIn(dataBytes)) {
        problems.push_back({Kind::BlockPastEnd, used.slot, 0,
                            slotText(used.slot) + ": its block (" + bytesText(used.entry) +
                                ") reaches outside Multi.mul (" +
                                NumberText(static_cast<std::int64_t>(dataBytes)) + " bytes)"});
    }
}

// The components of a block as extraction counts them: its records, less a first one that is the lead.
std::optional<std::int32_t> componentsOf(const IndexRecord& entry, RandomAccessFile& data,
                                         std::uint64_t dataBytes, RecordSize size) {
    if (!entry.hasWholeBlockLength(size) || !entry.blockFitsIn(dataBytes)) {
        return std::nullopt;
    }
    std::array<std::uint8_t, BytesOf(RecordSize::Sixteen)> buffer{};
    const std::span<std::uint8_t> first = std::span(buffer).first(BytesOf(size));
    if (data.readAt(static_cast<std::uint64_t>(entry.Offset), first) != first.size()) {
        throw Error(ErrorNumber::DeviceIo, "the file changed while it was read").at(data.name());
    }
    return entry.recordCount(size) - (ComponentRecord::decode(first, size).isLead() ? 1 : 0);
}

// The bytes after the furthest end of a block that begins inside Multi.mul.
std::uint64_t unindexedTail(const std::vector<ClientFilesSurvey::UsedSlot>& used, std::uint64_t dataBytes) {
    std::uint64_t covered = 0;
    for (const auto& u : used) {
        if (u.entry.Offset >= 0 && u.entry.Length > 0 &&
            static_cast<std::uint64_t>(u.entry.Offset) < dataBytes) {
            const std::uint64_t end =
                static_cast<std::uint64_t>(u.entry.Offset) + static_cast<std::uint64_t>(u.entry.Length);
            covered = std::max(covered, std::min(end, dataBytes));
        }
    }
    return dataBytes - covered;
}

// The bytes of Multi.mul outside every block, from the blocks' extents clipped to the file.
std::uint64_t deadBytes(const std::vector<ClientFilesSurvey::UsedSlot>& used, std::uint64_t dataBytes) {
    std::vector<std::pair<std::uint64_t, std::uint64_t>> blocks;
    for (const auto& u : used) {
        if (u.entry.Offset >= 0 && u.entry.Length > 0) {
            const auto start = static_cast<std::uint64_t>(u.entry.Offset);
            const std::uint64_t end = start + static_cast<std::uint64_t>(u.entry.Length);
            blocks.emplace_back(std::min(start, dataBytes), std::min(end, dataBytes));
        }
    }
    std::sort(blocks.begin(), blocks.end());
    std::uint64_t covered = 0;
    std::uint64_t reached = 0;
    for (const auto& [start, end] : blocks) {
        covered += end > std::max(start, reached) ? end - std::max(start, reached) : 0;
        reached = std::max(reached, end);
    }
    return dataBytes - covered;
}

}  // namespace

const char* ProblemKindName(SurveyProblem::Kind kind) {
    switch (kind) {
        case Kind::PartialIndexRecord:
            return "partial-index-record";
        case Kind::ZeroRecordBeforeFreeSlot:
            return "zero-record-before-free-slot";
        case Kind::NoFreeSlot:
            return "no-free-slot";
        case Kind::BadLength:
            return "bad-length";
        case Kind::BlockPastEnd:
            return "block-past-end";
        case Kind::Overlap:
            return "overlap";
        case Kind::PartialDataRecord:
            return "partial-data-record";
    }
    return "unknown";
}

ClientFilesSurvey SurveyClientFiles(std::span<const std::uint8_t> index, RandomAccessFile& data,
                                    std::optional<RecordSize> forced) {
    ClientFilesSurvey survey;
    survey.indexBytes = index.size();
    if (index.size() / kRecordSize > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        throw Error(ErrorNumber::Overflow, "Multi.idx has more slots than a 32-bit slot number can count");
    }
    survey.recordSize = DecideRecordSize(index, data, forced);
    const RecordSize size = survey.recordSize.size;
    const std::uint64_t dataBytes = data.size();
    survey.dataBytes = dataBytes;
    survey.firstFreeRecord = static_cast<std::int64_t>(dataBytes / BytesOf(size)) + 1;
    survey.slotCount = static_cast<std::int32_t>(index.size() / kRecordSize);
    std::optional<std::int32_t> firstZero;
    std::vector<SurveyProblem> problems;
    for (std::int32_t slot = 1; slot <= survey.slotCount; ++slot) {
        const auto at = static_cast<std::size_t>(slot - 1) * kRecordSize;
        const IndexRecord entry = IndexRecord::decode(ConstRecordSpan(index.data() + at, kRecordSize));
        if (entry.isFree()) {
            ++survey.freeCount;
            survey.firstFreeSlot = survey.firstFreeSlot.value_or(slot);
        } else if (entry.isZero()) {
            ++survey.zeroCount;
            firstZero = firstZero.value_or(slot);
        } else {
            ++survey.usedCount;
            survey.usedSlots.push_back({slot, entry, componentsOf(entry, data, dataBytes, size)});
            checkBlock(survey.usedSlots.back(), dataBytes, size, problems);
        }
    }
    if (index.size() % kRecordSize != 0) {
        problems.push_back({Kind::PartialIndexRecord, survey.slotCount + 1, 0,
                            "Multi.idx ends in a partial record of " +
                                NumberText(index.size() % kRecordSize) + " bytes after its last slot"});
    }
    if (firstZero && (!survey.firstFreeSlot || *firstZero < *survey.firstFreeSlot)) {
        problems.push_back(
            {Kind::ZeroRecordBeforeFreeSlot, *firstZero, 0,
             slotText(*firstZero) + " is a zero record before the first free slot: a patch stops there"});
    } else if (!survey.firstFreeSlot) {
        problems.push_back({Kind::NoFreeSlot, survey.slotCount + 1, 0,
                            "Multi.idx has no free slot: a patch stops at its end"});
    }
    if (survey.recordSize.partialRecord) {
        problems.push_back(
            {Kind::PartialDataRecord, 0, 0,
             "Multi.mul ends " + NumberText(static_cast<std::int64_t>(dataBytes % BytesOf(size))) +
                 " bytes past its last whole " + NumberText(static_cast<std::int64_t>(BytesOf(size))) +
                 "-byte record: it is not a Multi.mul, or it is damaged; no command writes "
                 "into it"});
    }
    findOverlaps(survey.usedSlots, problems);
    survey.unindexedTailBytes = unindexedTail(survey.usedSlots, dataBytes);
    survey.deadBytes = deadBytes(survey.usedSlots, dataBytes);
    std::stable_sort(problems.begin(), problems.end(),
                     [](const SurveyProblem& a, const SurveyProblem& b) { return a.slot < b.slot; });
    survey.problems = std::move(problems);
    return survey;
}

ClientFilesSurvey SurveyClientFiles(FileSystem& fileSystem, const ClientFiles& files,
                                    std::optional<RecordSize> forced) {
    RecordFile index(fileSystem, files.multiIdx, OpenMode::Read);
    RefuseUopContainer(index.file());
    const std::unique_ptr<RandomAccessFile> data = fileSystem.open(files.multiMul, OpenMode::Read);
    RefuseUopContainer(*data);
    ClientFilesSurvey survey = SurveyClientFiles(index.readAll(), *data, forced);
    if (survey.recordSize.unusable) {
        survey.recordSize.unusable->at(index.name());
    }
    return survey;
}

}  // namespace keelwright
