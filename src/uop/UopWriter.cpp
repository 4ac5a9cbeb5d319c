// Adding to a UOP file: the data first, the table entry's Offset (the pointer to it) after, the counts
// last, each flushed before the next; every failed step puts back what was changed before it throws.
#include "uop/UopWriter.h"

#include <algorithm>
#include <array>
#include <limits>

#include "model/Error.h"
#include "mulfiles/RecordLayout.h"
#include "uop/UopContainer.h"
#include "uop/UopNameHash.h"

namespace keelwright {
namespace {

// The failure that stopped an add, telling also that putting things back failed.
Error undoFailed(const Error& cause, const Error& undo) {
    return Error(cause.number(),
                 cause.description() + "; undoing the change also failed: " + undo.description());
}

void restore(RandomAccessFile& file, const UopAddUndo& undo) {
    for (auto it = undo.overwritten.rbegin(); it != undo.overwritten.rend(); ++it) {
        file.writeAt(it->offset, it->oldBytes);
        file.sync();
    }
    file.truncate(undo.originalSize);
    file.sync();
}

template <typename Int>
std::array<std::uint8_t, sizeof(Int)> littleEndian(Int value) {
    std::array<std::uint8_t, sizeof(Int)> bytes{};
    PutLittleEndian(bytes.data(), value);
    return bytes;
}

// The writing steps of one add on one open file, each recorded in the undo before it starts.
class Adder {
public:
    // Appends begin at the size the undo keeps.
    Adder(RandomAccessFile& file, UopAddResult& result)
        : file_(file), result_(result), end_(result.undo.originalSize) {}

    // Appends the bytes at the end of the file and flushes them; returns where they begin.
    std::uint64_t append(std::span<const std::uint8_t> bytes) {
        const std::uint64_t at = end_;
        end_ += bytes.size();
        file_.writeAt(at, bytes);
        file_.sync();
        result_.bytesWritten += bytes.size();
        return at;
    }

    // Writes the bytes over the file's at `offset`, after keeping the old ones, and flushes them.
    void overwrite(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
        UopAddUndo::Overwrite old{offset, std::vector<std::uint8_t>(bytes.size())};
        if (file_.readAt(offset, old.oldBytes) != bytes.size()) {
            throw Error(ErrorNumber::InputPastEnd,
                        "the bytes at " + std::to_string(offset) + " could not be read before writing them")
                .at(file_.name());
        }
        result_.undo.overwritten.push_back(std::move(old));
        file_.writeAt(offset, bytes);
        file_.sync();
        result_.bytesWritten += bytes.size();
    }

    // Clears a table entry: Offset first, so that readers skip it from then on, then the rest.
    void clear(const UopContainer::Located& located) {
        const std::array<std::uint8_t, kUopEntrySize> zeros{};
        overwrite(located.position, std::span(zeros).first(8));
        overwrite(located.position + 8, std::span(zeros).subspan(8));
        result_.cleared.push_back(located);
    }

private:
    RandomAccessFile& file_;
    UopAddResult& result_;
    std::uint64_t end_ = 0;
};

// An add writes into the header, the table and past the end of the file: an entry whose data lies in any of
// them would change. Such a file is damaged, and refused before anything is written.
void refuseEntriesInTheWay(const UopContainer& container) {
    const std::uint64_t blockBytes =
        kUopBlockHeaderSize + std::uint64_t{container.header().Capacity} * kUopEntrySize;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> table = {{0, kUopHeaderSize}};
    for (const UopContainer::Block& block : container.blocks()) {
        table.emplace_back(block.offset, block.offset + blockBytes);
    }
    std::sort(table.begin(), table.end());  // the container has checked that no two of them overlap
    for (const UopContainer::Located& located : container.entries()) {
        const std::optional<std::uint64_t> end = located.entry.dataEnd();
        if (!end) {
            continue;  // a negative field: its data lies nowhere
        }
        const auto start = static_cast<std::uint64_t>(located.entry.Offset);
        const auto refuse = [&](const std::string& reason) {
            return Error(ErrorNumber::InvalidFileFormat,
                         UopContainer::describe(located) + ": its data (bytes " + std::to_string(start) +
                             " to " + std::to_string(*end) + ") " + reason + "; nothing was written")
                .at(container.name());
        };
        if (*end > container.fileSize()) {
            throw refuse("reaches past the end of the file (" + std::to_string(container.fileSize()) +
                         " bytes), where an add appends: the file is cut short");
        }
        const auto after = std::partition_point(table.begin(), table.end(),
                                                [&](const auto& extent) { return extent.second <= start; });
        if (start < *end && after != table.end() && after->first < *end) {
            throw refuse("lies in the header or the table, which an add writes: the file is damaged");
        }
    }
}

// Refuses an edit that the file cannot take, before anything is written: the add of `entry` (when given)
// and, with `replacing`, the clearing of the entry of its name.
void check(const UopContainer& container, const UopNewEntry* entry, bool replacing) {
    const auto refuse = [&](ErrorNumber number, const std::string& reason) {
        return Error(number, reason + "; nothing was written").at(container.name());
    };
    if (entry != nullptr && container.header().Version != entry->version) {
        throw refuse(ErrorNumber::InvalidFileFormat,
                     "the file is UOP version " + std::to_string(container.header().Version) +
                         ", the new entry is made for version " + std::to_string(entry->version));
    }
    if (container.blocks().empty()) {
        throw refuse(ErrorNumber::InvalidFileFormat, "the file has no table block");
    }
    if (entry != nullptr && !replacing && container.find(entry->nameHash) != nullptr) {
        throw refuse(ErrorNumber::PathAccess,
                     "the file already has an entry with name hash " + UopHashText(entry->nameHash));
    }
    if (entry != nullptr &&
        (container.entries().size() >= std::numeric_limits<std::uint32_t>::max() ||
         container.fileSize() > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max() / 2) ||
         entry->headerLength < 0 || entry->storedLength() < 0)) {
        throw refuse(ErrorNumber::Overflow, "the new entry does not fit the file's fields");
    }
    refuseEntriesInTheWay(container);
}

void addEntry(UopContainer& container, Adder& adder, const UopNewEntry& entry, UopAddResult& result) {
    const std::uint64_t dataAt = adder.append(entry.data);

    const auto& blocks = container.blocks();
    const auto withRoom =
        std::find_if(blocks.begin(), blocks.end(), [](const auto& b) { return b.firstUnused; });
    std::uint64_t blockAt = 0;
    std::uint32_t index = 0;
    std::int32_t usedCount = 0;
    if (withRoom != blocks.end()) {
        blockAt = withRoom->offset;
        index = *withRoom->firstUnused;
        usedCount = withRoom->usedCount;
    } else {
        const std::vector<std::uint8_t> zeroed(kUopBlockHeaderSize +
                                               std::size_t{container.header().Capacity} * kUopEntrySize);
        blockAt = adder.append(zeroed);
        adder.overwrite(blocks.back().offset + kUopNextBlockField,
                        littleEndian(static_cast<std::int64_t>(blockAt)));
        result.appendedBlock = true;
    }

    result.entry = UopEntry{static_cast<std::int64_t>(dataAt),
                            entry.headerLength,
                            entry.storedLength(),
                            entry.decompressedLength,
                            entry.nameHash,
                            entry.dataHash,
                            static_cast<std::int16_t>(entry.compression)};
    result.position = blockAt + UopEntryPosition(index);
    const UopEntry::Bytes bytes = result.entry.encode();
    // Offset last: a write torn by a crash then leaves it 0, and readers skip the half-written entry.
    adder.overwrite(result.position + 8, std::span(bytes).subspan(8));
    adder.overwrite(result.position, std::span(bytes).first(8));

    const auto newCount = std::max(usedCount, static_cast<std::int32_t>(index + 1));
    if (newCount != usedCount) {
        adder.overwrite(blockAt, littleEndian(newCount));
    }
    result.added = true;
}

// The edit's writes: older duplicates cleared, the entry added, the entry it replaces cleared, the header's
// FileCount last when it differs from the table's count. It is counted from the table, not from the header,
// so that each write mends a count that an interrupted one left wrong.
void edit(UopContainer& container, const UopNewEntry* entry, std::optional<std::uint64_t> clearName,
          UopAddResult& result) {
    Adder adder(container.file(), result);
    const UopContainer::Duplicates duplicates = container.duplicates();
    for (const UopContainer::Located* older : duplicates.older) {
        adder.clear(*older);
    }
    const auto replaced = clearName ? duplicates.newest.find(*clearName) : duplicates.newest.end();
    if (entry != nullptr) {
        addEntry(container, adder, *entry, result);
    }
    if (replaced != duplicates.newest.end()) {
        adder.clear(*replaced->second);
    }
    const auto fileCount = static_cast<std::uint32_t>(container.entries().size() + (result.added ? 1 : 0) -
                                                      result.cleared.size());
    if (fileCount != container.header().FileCount) {
        adder.overwrite(kUopFileCountField, littleEndian(fileCount));
    }
}

// Checks, then edits; a failure puts back what was written before the throw.
UopAddResult checkedEdit(UopContainer& container, const UopNewEntry* entry,
                         std::optional<std::uint64_t> clearName) {
    check(container, entry, clearName.has_value());
    UopAddResult result;
    result.undo.originalSize = container.file().size();
    if (result.undo.originalSize != container.fileSize()) {
        throw Error(ErrorNumber::PathAccess, "the file changed while its table was read; nothing was written")
            .at(container.name());
    }
    try {
        edit(container, entry, clearName, result);
    } catch (const Error& e) {
        try {
            restore(container.file(), result.undo);
        } catch (const Error& undoError) {
            throw undoFailed(e, undoError);
        }
        throw;
    }
    return result;
}

}  // namespace

UopAddResult AddUopEntry(FileSystem& fileSystem, const std::filesystem::path& uop, const UopNewEntry& entry) {
    UopContainer container(fileSystem, uop, OpenMode::ReadWrite);
    return AddUopEntry(container, entry);
}

UopAddResult AddUopEntry(UopContainer& container, const UopNewEntry& entry) {
    return checkedEdit(container, &entry, std::nullopt);
}

UopAddResult ReplaceUopEntry(UopContainer& container, const UopNewEntry& entry) {
    return checkedEdit(container, &entry, entry.nameHash);
}

UopAddResult RemoveUopEntry(UopContainer& container, std::uint64_t nameHash) {
    if (container.find(nameHash) == nullptr) {
        throw Error(ErrorNumber::BadRecordNumber,
                    "has no entry with name hash " + UopHashText(nameHash) + "; nothing was written")
            .at(container.name());
    }
    return checkedEdit(container, nullptr, nameHash);
}

void RestoreUopFile(FileSystem& fileSystem, const std::filesystem::path& uop, const UopAddUndo& undo) {
    restore(*fileSystem.open(uop, OpenMode::ReadWrite), undo);
}

std::vector<std::uint8_t> EmptyUopContainer(std::uint32_t version, std::uint32_t capacity) {
    UopHeader header;
    header.Version = version;
    header.FirstBlock = kUopHeaderSize;
    header.Capacity = capacity;
    const UopHeader::Bytes head = header.encode();
    std::vector<std::uint8_t> bytes(head.begin(), head.end());
    bytes.resize(kUopHeaderSize + kUopBlockHeaderSize + std::size_t{capacity} * kUopEntrySize);
    return bytes;
}

}  // namespace keelwright
