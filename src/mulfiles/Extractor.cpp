#include "mulfiles/Extractor.h"

#include <charconv>
#include <vector>

#include "model/Error.h"
#include "model/NumberText.h"
#include "mulfiles/ComponentRecord.h"
#include "mulfiles/RecordFile.h"
#include "mulfiles/Slots.h"
#include "mulfiles/UopRefusal.h"

namespace keelwright {
namespace {

std::string_view trimmed(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::string multiAndSlot(std::int32_t slot) {
    return MultiText(MultiNumberOfSlot(slot)) + " (slot " + NumberText(slot) + ")";
}

// "0x" and hexadecimal digits, as admins and other tools write multi numbers.
std::int32_t hexMultiNumber(std::string_view text, std::int32_t highest) {
    std::uint64_t value = 0;
    const char* first = text.data() + 2;
    const char* last = text.data() + text.size();
    const auto [end, ec] = std::from_chars(first, last, value, 16);
    if (end != last || (ec != std::errc() && ec != std::errc::result_out_of_range)) {
        throw Error(ErrorNumber::TypeMismatch, "multi number " + QuoteInput(text) + " is not a whole number");
    }
    if (ec == std::errc::result_out_of_range || value > static_cast<std::uint64_t>(highest)) {
        throw Error(ErrorNumber::Overflow,
                    "multi number " + QuoteInput(text) + " is outside 0 to " + NumberText(highest));
    }
    return static_cast<std::int32_t>(value);
}

template <typename Int>
void appendNumber(std::string& text, Int value, char after) {
    char buffer[24];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    text.append(buffer, end);
    text += after;
}

// The header, the count line and one "ItemId X Y Z Flags" line per record, the Flags as `flags` gives them,
// then record k's part ids from parts[k], if any.
template <typename Flags>
std::string multiText(std::span<const ComponentRecord> components, Flags flags,
                      std::span<const PartIdList> parts = {}) {
    std::string text = "6 version\r\n1 template id\r\n-1 item version\r\n";
    text.reserve(text.size() + 24 + components.size() * 32);
    appendNumber(text, components.size(), ' ');
    text += "num components\r\n";
    for (std::size_t k = 0; k < components.size(); ++k) {
        const ComponentRecord& r = components[k];
        appendNumber(text, r.ItemId, ' ');
        appendNumber(text, r.X, ' ');
        appendNumber(text, r.Y, ' ');
        appendNumber(text, r.Z, ' ');
        appendNumber(text, flags(r), '\r');
        if (k < parts.size() && !parts[k].empty()) {
            text.back() = ' ';
            text += PartIdsText(parts[k]) + '\r';
        }
        text += '\n';
    }
    return text;
}

}  // namespace

std::optional<std::int32_t> ParseMultiNumber(std::string_view typed, std::int32_t highest) {
    const std::string_view text = trimmed(typed);
    if (text.empty()) {
        return std::nullopt;
    }
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        return hexMultiNumber(text, highest);
    }
    const std::optional<Number> number = Number::parse(text);
    if (!number || !number->isWhole()) {
        throw Error(ErrorNumber::TypeMismatch, "multi number " + QuoteInput(text) + " is not a whole number");
    }
    if (number->compare(0) < 0 || number->compare(highest) > 0) {
        throw Error(ErrorNumber::Overflow,
                    "multi number " + QuoteInput(text) + " is outside 0 to " + NumberText(highest));
    }
    return static_cast<std::int32_t>(*number->roundHalfEven());
}

IndexRecord ReadIndexEntry(FileSystem& fileSystem, const std::filesystem::path& multiIdx, std::int32_t slot) {
    RecordFile index(fileSystem, multiIdx, OpenMode::Read);
    RefuseUopContainer(index.file());
    const std::int64_t slots = index.wholeRecords();
    if (slot < 1 || slot > slots) {
        throw Error(
            ErrorNumber::BadRecordNumber,
            multiAndSlot(slot) + " lies past the end of the index, which has " + NumberText(slots) + " slots")
            .at(index.name());
    }
    return IndexRecord::decode(index.read(slot));
}

std::vector<std::uint8_t> ReadMultiBlock(FileSystem& fileSystem, const std::filesystem::path& multiMul,
                                         std::int32_t slot, const IndexRecord& entry, RecordSize size) {
    if (entry.isFree()) {
        throw Error(ErrorNumber::InvalidCall, multiAndSlot(slot) + " is a free slot: it holds no multi");
    }
    if (!entry.hasWholeBlockLength(size)) {
        throw Error(ErrorNumber::InvalidFileFormat, "the index entry of " + multiAndSlot(slot) +
                                                        " has Length " + NumberText(entry.Length) +
                                                        ", not a whole positive multiple of " +
                                                        NumberText(static_cast<std::int64_t>(BytesOf(size))));
    }
    RecordFile data(fileSystem, multiMul, OpenMode::Read, size);
    RefuseUopContainer(data.file());
    const std::uint64_t dataBytes = data.size();
    if (!entry.blockFitsIn(dataBytes)) {
        throw Error(ErrorNumber::InputPastEnd,
                    "the block of " + multiAndSlot(slot) + " at offset " + NumberText(entry.Offset) + ", " +
                        NumberText(entry.Length) + " bytes long, reaches past the end of the file (" +
                        NumberText(static_cast<std::int64_t>(dataBytes)) + " bytes)")
            .at(data.name());
    }
    std::vector<std::uint8_t> block(static_cast<std::size_t>(entry.Length));
    if (data.file().readAt(static_cast<std::uint64_t>(entry.Offset), block) != block.size()) {
        throw Error(ErrorNumber::InputPastEnd,
                    "the block of " + multiAndSlot(slot) + " could not be read whole")
            .at(data.name());
    }
    return block;
}

std::string ExtractMultiText(FileSystem& fileSystem, const std::filesystem::path& multiMul, std::int32_t slot,
                             const IndexRecord& entry, RecordSize size) {
    return MultiTextOfBlock(ReadMultiBlock(fileSystem, multiMul, slot, entry, size), size);
}

std::vector<ComponentRecord> ExtractMultiComponents(FileSystem& fileSystem,
                                                    const std::filesystem::path& multiMul, std::int32_t slot,
                                                    const IndexRecord& entry, RecordSize size) {
    return ComponentsOfBlock(ReadMultiBlock(fileSystem, multiMul, slot, entry, size), size);
}

std::string MultiTextOfBlock(std::span<const std::uint8_t> block, RecordSize size) {
    return MultiTextOfComponents(ComponentsOfBlock(block, size));
}

std::vector<ComponentRecord> ComponentsOfBlock(std::span<const std::uint8_t> block, RecordSize size) {
    const std::size_t bytes = BytesOf(size);
    if (block.size() < bytes || block.size() % bytes != 0) {
        throw Error(ErrorNumber::InvalidFileFormat, "a block of " +
                                                        NumberText(static_cast<std::int64_t>(block.size())) +
                                                        " bytes is not a whole positive number of records");
    }
    const std::size_t first = ComponentRecord::decode(block, size).isLead() ? 1 : 0;
    std::vector<ComponentRecord> components(block.size() / bytes - first);
    for (std::size_t k = 0; k < components.size(); ++k) {
        components[k] = ComponentRecord::decode(block.subspan((k + first) * bytes), size);
    }
    return components;
}

std::string MultiTextOfComponents(std::span<const ComponentRecord> components) {
    return multiText(components, [](const ComponentRecord& r) { return r.Flags; });
}

std::string ExactMultiTextOfBlock(std::span<const std::uint8_t> block, RecordSize size) {
    const std::size_t bytes = BytesOf(size);
    std::vector<ComponentRecord> records(block.size() / bytes);
    for (std::size_t k = 0; k < records.size(); ++k) {
        records[k] = ComponentRecord::decode(block.subspan(k * bytes), size);
    }
    return ExactMultiTextOfRecords(records);
}

std::string ExactMultiTextOfRecords(std::span<const ComponentRecord> records,
                                    std::span<const PartIdList> parts) {
    return multiText(
        records,
        [](const ComponentRecord& r) {
            return std::uint64_t{static_cast<std::uint32_t>(r.Flags)} |
                   std::uint64_t{static_cast<std::uint32_t>(r.Extra)} << 32;
        },
        parts);
}

}  // namespace keelwright
