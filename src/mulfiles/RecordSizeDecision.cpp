#include "mulfiles/RecordSizeDecision.h"

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

#include "model/NumberText.h"
#include "mulfiles/ComponentRecord.h"
#include "mulfiles/IndexRecord.h"
#include "mulfiles/RecordFile.h"
#include "mulfiles/Slots.h"
#include "mulfiles/UopRefusal.h"

namespace keelwright {
namespace {

// The contents check reads at most this many blocks, spread over the index, and at most this many bytes
// of each: a multiple of 48, so both readings see whole records.
constexpr std::size_t kSampleBlocks = 8;
constexpr std::size_t kSampleBytesPerBlock = 48 * 8;

// The used entries whose Length is a whole number of records of one size, of the other, of both or of
// neither; the first such slot is kept for messages.
struct LengthKind {
    std::int64_t count = 0;
    std::int32_t firstSlot = 0;
    std::int32_t firstLength = 0;

    void add(std::int32_t slot, std::int32_t length) {
        if (count++ == 0) {
            firstSlot = slot;
            firstLength = length;
        }
    }
};

bool isZeroOrOne(std::int32_t value) {
    return value == 0 || value == 1;
}

// Whether every record of `bytes` (whole records) has Flags, and in 16-byte records Extra, of 0 or 1.
bool readingLooksLikeTiles(std::span<const std::uint8_t> bytes, RecordSize size) {
    for (std::size_t at = 0; at + BytesOf(size) <= bytes.size(); at += BytesOf(size)) {
        const ComponentRecord record = ComponentRecord::decode(bytes.subspan(at), size);
        if (!isZeroOrOne(record.Flags) || !isZeroOrOne(record.Extra)) {
            return false;
        }
    }
    return true;
}

// Reads the sampled blocks, whose Lengths are multiples of 48, both ways.
RecordSizeDecision decideFromContents(std::span<const IndexRecord> sample, RandomAccessFile& data) {
    bool twelvePasses = true;
    bool sixteenPasses = true;
    std::array<std::uint8_t, kSampleBytesPerBlock> buffer{};
    for (const IndexRecord& entry : sample) {
        const std::span<std::uint8_t> bytes =
            std::span(buffer).first(std::min(static_cast<std::size_t>(entry.Length), buffer.size()));
        const std::size_t got = data.readAt(static_cast<std::uint64_t>(entry.Offset), bytes);
        const auto whole = std::span<const std::uint8_t>(bytes).first(got - got % 48);
        twelvePasses = twelvePasses && readingLooksLikeTiles(whole, RecordSize::Twelve);
        sixteenPasses = sixteenPasses && readingLooksLikeTiles(whole, RecordSize::Sixteen);
        if (!twelvePasses && !sixteenPasses) {
            break;
        }
    }
    if (twelvePasses == sixteenPasses) {
        return {RecordSize::Twelve, RecordSizeFrom::Assumed};
    }
    return {sixteenPasses ? RecordSize::Sixteen : RecordSize::Twelve, RecordSizeFrom::Contents};
}

RecordSizeDecision unusable(const LengthKind& twelveOnly, const LengthKind& sixteenOnly,
                            const LengthKind& neither) {
    RecordSizeDecision decision;
    decision.size = sixteenOnly.count > twelveOnly.count ? RecordSize::Sixteen : RecordSize::Twelve;
    std::string reason;
    if (neither.count > 0) {
        decision.unusableSlot = neither.firstSlot;
        reason = SlotText(neither.firstSlot) + ": Length " + NumberText(neither.firstLength) +
                 " is a whole number of neither 12-byte nor 16-byte records";
    } else {
        const bool sixteenIsOdd = decision.size == RecordSize::Twelve;
        const LengthKind& odd = sixteenIsOdd ? sixteenOnly : twelveOnly;
        const LengthKind& usual = sixteenIsOdd ? twelveOnly : sixteenOnly;
        decision.unusableSlot = odd.firstSlot;
        reason = SlotText(odd.firstSlot) + ": Length " + NumberText(odd.firstLength) +
                 " is a whole number of " + (sixteenIsOdd ? "16" : "12") + "-byte records only, but " +
                 SlotText(usual.firstSlot) + " holds " + (sixteenIsOdd ? "12" : "16") + "-byte records only";
    }
    decision.unusable =
        Error(ErrorNumber::InvalidFileFormat, reason + ", so the record size of Multi.mul cannot be decided");
    return decision;
}

// "Multi.mul is 131 bytes, but 800 slots of Multi.idx point past its end (slot 1: offset 0, length 256):
// this Multi.mul does not belong to this Multi.idx".
Error mismatch(std::uint64_t dataBytes, std::int64_t count, std::int32_t slot, const IndexRecord& entry) {
    return Error(
        ErrorNumber::InvalidFileFormat,
        "Multi.mul is " + NumberText(static_cast<std::int64_t>(dataBytes)) + " bytes, but " +
            NumberText(count) + (count == 1 ? " slot of Multi.idx points" : " slots of Multi.idx point") +
            " past its end (slot " + NumberText(slot) + ": offset " + NumberText(entry.Offset) + ", length " +
            NumberText(entry.Length) + "): this Multi.mul does not belong to this Multi.idx");
}

}  // namespace

std::optional<Error> PartialRecordRefusal(std::uint64_t bytes, RecordSize size, const std::string& file) {
    const std::uint64_t over = bytes % BytesOf(size);
    if (over == 0) {
        return std::nullopt;
    }
    // The name alone, from the UTF-8 text: a path made of it would narrow it on Windows.
    const std::size_t slash = file.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
    return Error(ErrorNumber::InvalidFileFormat,
                 ShownFileName(name) + " is " + NumberText(static_cast<std::int64_t>(bytes)) + " bytes, " +
                     NumberText(static_cast<std::int64_t>(over)) + (over == 1 ? " byte" : " bytes") +
                     " past the last whole " + NumberText(static_cast<std::int64_t>(BytesOf(size))) +
                     "-byte record: it is not a Multi.mul, or it is damaged; nothing was written")
        .at(file);
}

void RecordSizeDecision::requireWholeRecords() const {
    if (partialRecord) {
        throw *partialRecord;
    }
}

RecordSize RecordSizeDecision::sizeForPatch() const {
    if (mismatched) {
        throw *mismatched;
    }
    requireWholeRecords();
    if (unusable) {
        throw *unusable;
    }
    return size;
}

RecordSizeDecision DecideRecordSize(std::span<const std::uint8_t> index, RandomAccessFile& data,
                                    std::optional<RecordSize> forced) {
    if (index.size() / kRecordSize > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        throw Error(ErrorNumber::Overflow, "Multi.idx has more slots than a 32-bit slot number can count");
    }
    const std::uint64_t dataBytes = data.size();
    const std::size_t slots = index.size() / kRecordSize;
    LengthKind twelveOnly, sixteenOnly, neither, pastEnd;
    IndexRecord firstPastEnd;
    // The sample for the contents check: the first block fitting both sizes at or after each of
    // kSampleBlocks evenly spaced slots, so that it is spread over the whole index.
    std::array<IndexRecord, kSampleBlocks> sample{};
    std::size_t sampled = 0;
    for (std::size_t i = 0; i < slots; ++i) {
        const IndexRecord entry =
            IndexRecord::decode(ConstRecordSpan(index.data() + i * kRecordSize, kRecordSize));
        if (entry.Length <= 0) {
            continue;
        }
        if (!entry.blockFitsIn(dataBytes)) {
            firstPastEnd = pastEnd.count == 0 ? entry : firstPastEnd;
            pastEnd.add(static_cast<std::int32_t>(i + 1), entry.Length);
            continue;
        }
        const bool twelve = entry.Length % 12 == 0;
        const bool sixteen = entry.Length % 16 == 0;
        if (twelve && sixteen) {
            if (sampled < kSampleBlocks && i >= sampled * slots / kSampleBlocks) {
                sample[sampled++] = entry;
            }
        } else {
            LengthKind& kind = twelve ? twelveOnly : (sixteen ? sixteenOnly : neither);
            kind.add(static_cast<std::int32_t>(i + 1), entry.Length);
        }
    }
    RecordSizeDecision decision;
    if (forced) {
        decision = {*forced, RecordSizeFrom::Option};
    } else if (neither.count > 0 || (twelveOnly.count > 0 && sixteenOnly.count > 0)) {
        decision = unusable(twelveOnly, sixteenOnly, neither);
    } else if (twelveOnly.count > 0 || sixteenOnly.count > 0) {
        decision = {twelveOnly.count > 0 ? RecordSize::Twelve : RecordSize::Sixteen, RecordSizeFrom::Lengths};
    } else if (sampled > 0) {
        decision = decideFromContents(std::span(sample).first(sampled), data);
    }
    if (decision.usable()) {  // else the size is a guess, and a partial record of it tells nothing
        decision.partialRecord = PartialRecordRefusal(dataBytes, decision.size, data.name());
    }
    decision.blocksPastEnd = pastEnd.count;
    if (pastEnd.count > 0) {
        decision.mismatched = mismatch(dataBytes, pastEnd.count, pastEnd.firstSlot, firstPastEnd);
    }
    return decision;
}

RecordSizeDecision DecideRecordSize(FileSystem& fileSystem, const ClientFiles& files,
                                    std::optional<RecordSize> forced) {
    RecordFile index(fileSystem, files.multiIdx, OpenMode::Read);
    RefuseUopContainer(index.file());
    const std::unique_ptr<RandomAccessFile> data = fileSystem.open(files.multiMul, OpenMode::Read);
    RefuseUopContainer(*data);
    RecordSizeDecision decision = DecideRecordSize(index.readAll(), *data, forced);
    if (decision.unusable) {
        decision.unusable->at(index.name());
    }
    if (decision.mismatched) {
        decision.mismatched->at(data->name());
    }
    return decision;
}

const char* RecordSizeFromName(RecordSizeFrom from) {
    switch (from) {
        case RecordSizeFrom::Option:
            return "option";
        case RecordSizeFrom::Lengths:
            return "lengths";
        case RecordSizeFrom::Contents:
            return "contents";
        case RecordSizeFrom::Assumed:
            return "assumed";
    }
    return "unknown";
}

std::string DescribeRecordSize(const RecordSizeDecision& decision) {
    const std::string text =
        NumberText(static_cast<std::int64_t>(BytesOf(decision.size))) + "-byte records (";
    const std::string pastEnd =
        decision.blocksPastEnd == 0
            ? std::string()
            : "; " + NumberText(decision.blocksPastEnd) +
                  (decision.blocksPastEnd == 1 ? " slot whose block reaches" : " slots whose blocks reach") +
                  " past the end of Multi.mul told nothing";
    if (!decision.usable()) {
        return text + "the size most lengths in Multi.idx fit; the files are unusable for a patch" + pastEnd +
               ")";
    }
    switch (decision.from) {
        case RecordSizeFrom::Option:
            return text + "as given" + pastEnd + ")";
        case RecordSizeFrom::Lengths:
            return text + "from the lengths in Multi.idx" + pastEnd + ")";
        case RecordSizeFrom::Contents:
            return text + "from the contents of Multi.mul" + pastEnd + ")";
        case RecordSizeFrom::Assumed:
            break;
    }
    return text + "assumed: the files do not tell" + pastEnd + ")";
}

std::optional<RecordSize> ParseRecordSize(std::string_view text) {
    if (text == "12") {
        return RecordSize::Twelve;
    }
    if (text == "16") {
        return RecordSize::Sixteen;
    }
    return std::nullopt;
}

}  // namespace keelwright
