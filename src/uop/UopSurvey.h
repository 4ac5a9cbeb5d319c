#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "mulfiles/FileSystem.h"
#include "uop/UopTile.h"

namespace keelwright {

// A problem of a MultiCollection.uop that a client or a patch would trip over.
struct UopProblem {
    enum class Kind {
        BadMagic,           // not a UOP file: nothing else is surveyed
        BadVersion,         // not version 4: the entries are still listed
        EntryPastEnd,       // an entry's data reaches outside the file
        BadPayload,         // a multi's payload does not decompress or does not decode
        NumberMismatch,     // the payload's multi number is not the one its name gives
        UnknownEntry,       // a name that is neither housing.bin nor a multi's
        Overlap,            // two entries' data share bytes, or an entry's data lies in the table
        DuplicateEntry,     // two entries in use have one name (a crash during a replacement): the older one
        FileCountMismatch,  // the header's FileCount is not the number of entries in use
    };
    Kind kind;
    std::uint64_t position = 0;         // the byte of the table entry; 0 for the header's problems
    std::optional<std::int32_t> multi;  // the multi its name gives, when known
    std::string message;
};

// The stable name of a problem kind ("entry-past-end"), as the command line's JSON gives it.
const char* UopProblemKindName(UopProblem::Kind kind);

// What a MultiCollection.uop holds, checked without changing it.
struct UopSurvey {
    std::uint64_t fileBytes = 0;
    std::uint32_t version = 0;
    std::uint32_t capacity = 0;         // entries per table block
    std::uint32_t headerFileCount = 0;  // the count the header gives
    std::int32_t blocks = 0;
    std::int32_t entryCount = 0;  // entries in use (Offset not 0)
    bool housingBin = false;
    // Entries within their block's UsedCount whose Offset is 0: removed, or replaced.
    std::int32_t clearedEntries = 0;
    // Bytes that neither the header, the table nor the data of an entry in use covers: what replacements
    // and removals leave behind.
    std::uint64_t deadBytes = 0;

    struct Multi {
        std::int32_t multi = 0;   // from the entry's name
        std::uint32_t tiles = 0;  // the payload's tiles, a lead record included
        bool leadRecord = false;  // the first tile is the lead record of a Multi.mul block
        std::int32_t storedLength = 0;
        std::int32_t length = 0;     // decompressed
        std::uint64_t position = 0;  // the byte of its table entry
        bool compressed = true;      // a zlib stream (compression 1), as the game client needs it
        std::uint64_t tilesDigest = 0;  // UopTilesDigest of its tiles less a lead record, to compare
    };
    std::vector<Multi> multis;         // in multi number order; damaged entries and older duplicates left out
    std::vector<UopProblem> problems;  // header problems first, then in table order, overlaps last

    bool sound() const { return problems.empty(); }
};

// A digest of the tiles (item, place and flags; part ids left out), equal for equal tiles, so that a
// survey can tell whether two files hold the same tiles without keeping them.
std::uint64_t UopTilesDigest(std::span<const UopTile> tiles);

// Surveys a MultiCollection.uop; only reads it. A table that cannot be read (truncated, looping) throws
// InvalidFileFormat naming the file and the byte.
UopSurvey SurveyUop(FileSystem& fileSystem, const std::filesystem::path& uop);

}  // namespace keelwright
