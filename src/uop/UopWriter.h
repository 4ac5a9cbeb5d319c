#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "mulfiles/FileSystem.h"
#include "uop/UopContainer.h"
#include "uop/UopEntry.h"
#include "uop/UopNewEntry.h"

namespace keelwright {

// What AddUopEntry changed, so that RestoreUopFile can put the file back byte for byte.
struct UopAddUndo {
    struct Overwrite {
        std::uint64_t offset = 0;
        std::vector<std::uint8_t> oldBytes;
    };
    std::uint64_t originalSize = 0;      // everything after it was appended
    std::vector<Overwrite> overwritten;  // bytes changed in place, in the order they were written
};

// What a completed AddUopEntry (ReplaceUopEntry, RemoveUopEntry) wrote.
struct UopAddResult {
    bool added = false;          // an entry was added (not by a removal)
    UopEntry entry;              // the table entry written
    std::uint64_t position = 0;  // the byte of the file where it lies
    bool appendedBlock = false;  // every block was full, so a new one was appended and linked
    // The entries cleared, as they were: older duplicates first, then the one replaced or removed.
    std::vector<UopContainer::Located> cleared;
    std::uint64_t bytesWritten = 0;
    UopAddUndo undo;
};

// Adds an entry to a UOP file without rewriting it. Each step is flushed to disk before the next:
//   0. every entry in use whose name another entry in use has too, and whose data lies earlier in the file
//      than that one's, is cleared as in a removal (a crash during a replacement leaves such a pair);
//   1. the entry's data is appended at the end of the file;
//   2. when no block has an unused (all-zero) entry, a zeroed block is appended, then linked from the
//      last block's NextBlock;
//   3. the first unused entry in chain order gets every field but Offset, then Offset, which is what
//      makes the entry visible to readers that skip entries whose Offset is 0;
//   4. the block's UsedCount becomes at least the entry's number + 1 (for readers that honour it);
//   5. the header's FileCount becomes the entries in use, counted in the table (whatever it said before).
// A crash at any instant leaves a file that every reader reads as before or as after. A failure puts
// back what was written (the file is cut back, the old bytes put back) before the throw. Throws, writing
// nothing, when the file's table does not read, its version is not `entry.version`, it has no table
// block, an entry in use already has the name hash, or an entry's data lies in the header or the table
// or reaches past the end of the file (every other entry keeps its bytes).
UopAddResult AddUopEntry(FileSystem& fileSystem, const std::filesystem::path& uop, const UopNewEntry& entry);
// The same on a container just opened with OpenMode::ReadWrite, so that its table is read once. The
// container's table is stale afterwards: open the file again for anything else.
UopAddResult AddUopEntry(UopContainer& container, const UopNewEntry& entry);

// Replaces the entry of `entry`'s name, or adds it when there is none: steps 0 to 4 of AddUopEntry, then
// the old entry cleared (its Offset first, flushed, then the rest), then FileCount as the table counts it. A
// crash between the two leaves two complete entries of the one name; the next write clears the older. Refuses
// what AddUopEntry refuses, but for the name that is taken.
UopAddResult ReplaceUopEntry(UopContainer& container, const UopNewEntry& entry);
// Removes the entry in use with this name hash: step 0 of AddUopEntry, then the entry cleared as above,
// then FileCount. A block's UsedCount is left as it is, so that it never falls below a live entry after
// the cleared one. Throws BadRecordNumber, writing nothing, when there is no such entry.
UopAddResult RemoveUopEntry(UopContainer& container, std::uint64_t nameHash);

// Puts the file back as it was before the AddUopEntry that returned `undo`: the old bytes back in the
// reverse order of their writing, then the appended bytes cut off, each step flushed.
void RestoreUopFile(FileSystem& fileSystem, const std::filesystem::path& uop, const UopAddUndo& undo);

// The bytes of a UOP file without entries: the header and one zeroed block right after it.
std::vector<std::uint8_t> EmptyUopContainer(std::uint32_t version, std::uint32_t capacity);

}  // namespace keelwright
