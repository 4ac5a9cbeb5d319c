#include "uop/UopContainer.h"

#include <algorithm>
#include <array>
#include <map>

#include "model/Error.h"
#include "model/NumberText.h"
#include "mulfiles/RecordLayout.h"
#include "mulfiles/TextFileRefusal.h"
#include "uop/UopNameHash.h"
#include "uop/Zlib.h"

namespace keelwright {
namespace {

// Entries read from the file at a time, so that a block's claimed capacity never sizes a buffer alone.
constexpr std::size_t kEntriesPerRead = 256;

std::string bytes(std::uint64_t n) {
    return std::to_string(n) + " bytes";
}

bool allZero(std::span<const std::uint8_t> bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
}

}  // namespace

UopContainer::UopContainer(std::unique_ptr<RandomAccessFile> file) : file_(std::move(file)) {
    fileSize_ = file_->size();
    readHeader();
    readChain();
    // Sorted by hash, and by chain order among equal hashes, so that find gives the first in the chain.
    byHash_.reserve(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        byHash_.emplace_back(entries_[i].entry.NameHash, i);
    }
    std::sort(byHash_.begin(), byHash_.end());
}

UopContainer::UopContainer(FileSystem& fileSystem, const std::filesystem::path& path, OpenMode mode)
    : UopContainer(fileSystem.open(path, mode)) {}

void UopContainer::readHeader() {
    UopHeader::Bytes raw{};
    const bool whole = fileSize_ >= raw.size() && file_->readAt(0, raw) == raw.size();
    header_ = UopHeader::decode(raw);
    if (!whole || header_.Magic != kUopMagic || header_.Signature != kUopSignature) {
        RefuseTextFile(*file_, "a UOP file");
    }
    if (!whole) {
        throw Error(ErrorNumber::InvalidFileFormat,
                    "is not a UOP file: " + bytes(fileSize_) + " are too few for its 40-byte header")
            .at(name());
    }
    if (header_.Magic != kUopMagic || header_.Signature != kUopSignature) {
        throw Error(ErrorNumber::InvalidFileFormat,
                    "is not a UOP file: its header (byte 0) has magic " +
                        Hex32(static_cast<std::int32_t>(header_.Magic)) + " and signature " +
                        Hex32(static_cast<std::int32_t>(header_.Signature)) + ", not 50594D and FD23EC43")
            .at(name());
    }
    if (header_.Capacity == 0) {
        throw Error(ErrorNumber::InvalidFileFormat, "the header (byte 20) gives table blocks a capacity of 0")
            .at(name());
    }
}

void UopContainer::readChain() {
    const std::uint64_t blockBytes = kUopBlockHeaderSize + std::uint64_t{header_.Capacity} * kUopEntrySize;
    std::map<std::uint64_t, std::uint64_t> taken;  // start -> end of the header and every block read
    taken.emplace(0, kUopHeaderSize);
    std::int64_t next = header_.FirstBlock;
    std::uint64_t pointerAt = 12;  // where the offset of the next block was read, for the errors
    while (next != 0) {
        const std::string where = "the table block at byte " + NumberText(next) + " (pointed to from byte " +
                                  std::to_string(pointerAt) + ")";
        if (next < 0 || static_cast<std::uint64_t>(next) > fileSize_ ||
            fileSize_ - static_cast<std::uint64_t>(next) < blockBytes) {
            throw Error(ErrorNumber::InvalidFileFormat, where + " does not fit in the file's " +
                                                            bytes(fileSize_) + ": the table is truncated")
                .at(name());
        }
        const auto offset = static_cast<std::uint64_t>(next);
        if (taken.count(offset) != 0) {
            throw Error(ErrorNumber::InvalidFileFormat, where + " was read before: the block chain loops")
                .at(name());
        }
        auto after = taken.upper_bound(offset);
        const bool overlapsNext = after != taken.end() && after->first < offset + blockBytes;
        const bool overlapsPrevious = after != taken.begin() && std::prev(after)->second > offset;
        if (overlapsNext || overlapsPrevious) {
            throw Error(ErrorNumber::InvalidFileFormat,
                        where + " overlaps the header or another block: the block chain loops or is damaged")
                .at(name());
        }
        taken.emplace(offset, offset + blockBytes);
        readBlock(offset);
        pointerAt = offset + kUopNextBlockField;
        next = static_cast<std::int64_t>(blocks_.back().next);
    }
}

void UopContainer::readBlock(std::uint64_t offset) {
    // The block's head comes with its first entries in one read.
    std::vector<std::uint8_t> chunk(kUopBlockHeaderSize +
                                    std::min<std::size_t>(kEntriesPerRead, header_.Capacity) * kUopEntrySize);
    if (file_->readAt(offset, chunk) != chunk.size()) {
        throw Error(ErrorNumber::InputPastEnd,
                    "the table block at byte " + std::to_string(offset) + " could not be read whole")
            .at(name());
    }
    Block block;
    block.offset = offset;
    block.usedCount = GetLittleEndian<std::int32_t>(&chunk[0]);
    block.next = GetLittleEndian<std::uint64_t>(&chunk[kUopNextBlockField]);
    if (block.usedCount < 0 || static_cast<std::uint32_t>(block.usedCount) > header_.Capacity) {
        throw Error(ErrorNumber::InvalidFileFormat, "the table block at byte " + std::to_string(offset) +
                                                        " claims " + NumberText(block.usedCount) +
                                                        " used entries; its capacity is " +
                                                        std::to_string(header_.Capacity))
            .at(name());
    }
    blocks_.push_back(block);
    std::size_t skip = kUopBlockHeaderSize;
    for (std::uint32_t first = 0; first < header_.Capacity; first += kEntriesPerRead) {
        const std::uint32_t count = std::min<std::uint32_t>(kEntriesPerRead, header_.Capacity - first);
        const std::uint64_t at = offset + UopEntryPosition(first);
        if (first > 0) {
            chunk.resize(std::size_t{count} * kUopEntrySize);
            skip = 0;
            if (file_->readAt(at, chunk) != chunk.size()) {
                throw Error(ErrorNumber::InputPastEnd,
                            "the table entries at byte " + std::to_string(at) + " could not be read whole")
                    .at(name());
            }
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::span<const std::uint8_t, kUopEntrySize> raw(chunk.data() + skip + i * kUopEntrySize,
                                                                   kUopEntrySize);
            addEntry(raw, at + std::uint64_t{i} * kUopEntrySize, first + i);
        }
    }
}

void UopContainer::addEntry(std::span<const std::uint8_t, kUopEntrySize> raw, std::uint64_t position,
                            std::uint32_t index) {
    Block& block = blocks_.back();
    if (allZero(raw)) {
        if (!block.firstUnused) {
            block.firstUnused = index;
        }
        return;
    }
    const UopEntry entry = UopEntry::decode(raw);
    if (entry.inUse()) {
        entries_.push_back({entry, position, blocks_.size() - 1, index});
    }
}

const UopContainer::Located* UopContainer::find(std::uint64_t nameHash) const {
    const auto found = std::lower_bound(byHash_.begin(), byHash_.end(), std::pair(nameHash, std::size_t{0}));
    return found == byHash_.end() || found->first != nameHash ? nullptr : &entries_[found->second];
}

UopContainer::Duplicates UopContainer::duplicates() const {
    Duplicates found;
    for (const Located& located : entries_) {
        const auto [it, first] = found.newest.emplace(located.entry.NameHash, &located);
        if (!first) {
            const bool later = located.entry.Offset > it->second->entry.Offset;
            found.older.push_back(later ? it->second : &located);
            if (later) {
                it->second = &located;
            }
        }
    }
    return found;
}

bool UopContainer::dataInsideFile(const UopEntry& entry) const {
    const std::optional<std::uint64_t> end = entry.dataEnd();
    return end && entry.Offset >= static_cast<std::int64_t>(kUopHeaderSize) && *end <= fileSize_;
}

std::string UopContainer::describe(const Located& located) {
    return "entry " + UopHashText(located.entry.NameHash) + " at byte " + std::to_string(located.position);
}

std::vector<std::uint8_t> UopContainer::readStored(const Located& located) {
    const UopEntry& e = located.entry;
    if (!dataInsideFile(e)) {
        throw Error(ErrorNumber::InvalidFileFormat,
                    describe(located) + ": its data (offset " + NumberText(e.Offset) + ", header length " +
                        NumberText(e.HeaderLength) + ", stored length " + NumberText(e.StoredLength) +
                        ") reaches outside the file's " + bytes(fileSize_))
            .at(name());
    }
    std::vector<std::uint8_t> stored(static_cast<std::size_t>(e.StoredLength));
    const std::uint64_t at =
        static_cast<std::uint64_t>(e.Offset) + static_cast<std::uint64_t>(e.HeaderLength);
    if (file_->readAt(at, stored) != stored.size()) {
        throw Error(ErrorNumber::InputPastEnd, describe(located) + ": its payload could not be read whole")
            .at(name());
    }
    return stored;
}

std::vector<std::uint8_t> UopContainer::readPayload(const Located& located, std::uint64_t limit) {
    const UopEntry& e = located.entry;
    const auto fail = [&](const std::string& reason) {
        return Error(ErrorNumber::InvalidFileFormat, describe(located) + ": " + reason).at(name());
    };
    if (e.Compression != static_cast<std::int16_t>(UopCompression::None) &&
        e.Compression != static_cast<std::int16_t>(UopCompression::Zlib)) {
        throw fail("compression " + NumberText(e.Compression) + " is not supported (0 none, 1 zlib)");
    }
    if (e.DecompressedLength < 0 || static_cast<std::uint64_t>(e.DecompressedLength) > limit) {
        throw fail("its decompressed length " + NumberText(e.DecompressedLength) + " is outside 0 to " +
                   std::to_string(limit));
    }
    std::vector<std::uint8_t> stored = readStored(located);
    if (e.Compression == static_cast<std::int16_t>(UopCompression::None)) {
        if (e.DecompressedLength != e.StoredLength) {
            throw fail("it is stored uncompressed in " + bytes(stored.size()) + " but claims " +
                       NumberText(e.DecompressedLength) + " decompressed");
        }
        return stored;
    }
    try {
        return ZlibDecompress(stored, static_cast<std::uint64_t>(e.DecompressedLength));
    } catch (const Error& error) {
        throw fail(error.reason());
    }
}

}  // namespace keelwright
