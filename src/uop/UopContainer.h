#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "mulfiles/FileSystem.h"
#include "uop/UopEntry.h"
#include "uop/UopHeader.h"

namespace keelwright {

// A UOP file opened and its table read (layout in UopLayout.h). Any version is read; what a version
// means for an entry's contents is the caller's business. The header and the whole block chain are
// checked when the container is opened: a bad magic or signature, a block outside the file, blocks that
// overlap or a chain that loops, a used count outside 0 to Capacity throw InvalidFileFormat naming the
// file and the byte. Entries are checked when their data is read. Memory follows the file's real size,
// never a count or a length the file claims.
class UopContainer {
public:
    // A block of the table chain.
    struct Block {
        std::uint64_t offset = 0;
        std::int32_t usedCount = 0;
        std::uint64_t next = 0;
        std::optional<std::uint32_t> firstUnused;  // its first all-zero entry, if any
    };
    // An entry in use (Offset not 0) and where its 34 bytes lie.
    struct Located {
        UopEntry entry;
        std::uint64_t position = 0;  // byte of the file where the entry lies
        std::size_t block = 0;       // index in blocks()
        std::uint32_t index = 0;     // entry number in its block, from 0
    };

    // The most bytes a payload is decompressed to unless the caller asks for another bound.
    static constexpr std::uint64_t kPayloadLimit = 256ULL << 20;

    // Reads the header and the table of an open file.
    explicit UopContainer(std::unique_ptr<RandomAccessFile> file);
    // Opens the file at `path` (never created) and reads its header and table.
    UopContainer(FileSystem& fileSystem, const std::filesystem::path& path, OpenMode mode = OpenMode::Read);

    const UopHeader& header() const { return header_; }
    // The file's size when the table was read.
    std::uint64_t fileSize() const { return fileSize_; }
    // The blocks in chain order.
    const std::vector<Block>& blocks() const { return blocks_; }
    // The entries in use, in chain order.
    const std::vector<Located>& entries() const { return entries_; }
    // The first entry in use with this name hash, or null.
    const Located* find(std::uint64_t nameHash) const;

    // Entries in use that share a name, as a crash during a replacement leaves them: the newest of each
    // name is the one whose data lies furthest into the file (the first of them in chain order on a tie),
    // every other one is older.
    struct Duplicates {
        std::vector<const Located*> older;               // as the chain reaches their newer twins
        std::map<std::uint64_t, const Located*> newest;  // of every name in use, by name hash
    };
    Duplicates duplicates() const;

    // Whether the entry's data lies inside the file (no negative field, no byte past the end).
    bool dataInsideFile(const UopEntry& entry) const;
    // The entry's payload as stored (after its per-entry header). Throws InvalidFileFormat, naming the
    // entry, when the data reaches outside the file.
    std::vector<std::uint8_t> readStored(const Located& located);
    // The entry's payload decompressed (compression 1) or as stored (0). Throws InvalidFileFormat naming
    // the entry for data outside the file, an unknown compression, a DecompressedLength above `limit`, and
    // a payload that does not decompress to exactly DecompressedLength bytes.
    std::vector<std::uint8_t> readPayload(const Located& located, std::uint64_t limit = kPayloadLimit);

    // "entry 0123456789ABCDEF at byte N", as errors name an entry.
    static std::string describe(const Located& located);

    const std::string& name() const { return file_->name(); }
    RandomAccessFile& file() { return *file_; }

private:
    void readHeader();
    void readChain();
    void readBlock(std::uint64_t offset);
    void addEntry(std::span<const std::uint8_t, kUopEntrySize> raw, std::uint64_t position,
                  std::uint32_t index);

    std::unique_ptr<RandomAccessFile> file_;
    std::uint64_t fileSize_ = 0;
    UopHeader header_;
    std::vector<Block> blocks_;
    std::vector<Located> entries_;
    std::vector<std::pair<std::uint64_t, std::size_t>> byHash_;  // name hash and index in entries_, sorted
};

}  // namespace keelwright
