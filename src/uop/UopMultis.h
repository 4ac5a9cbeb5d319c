#pragma once

// The multis of MultiCollection.uop, on top of the generic container. Multi M is the entry named
// build/multicollection/%06d.bin; build/multicollection/housing.bin is the custom-housing catalogue,
// which is not a multi and is never changed. Multis are added only to version 4 files, the version the
// clients and servers read.
//
// A patch of one multi into Multi.idx / Multi.mul and MultiCollection.uop under one number runs:
//   1. UopContainer c(fs, uop); RequireMultiCollection(c); then the first M whose Multi.idx slot M + 1 is
//      free and !HasMultiEntry(c, M) (or FirstMultiWithoutEntry(c) with the UOP alone);
//   2. the tiles converted, the lead record first (UopFlagsOfMul, UopTile::lead()), and
//      NewMultiEntry(M, tiles, FileTimeOf(now)), all before any file is written;
//   3. the writes, each returning an undo: WriteMultiData, AddUopEntry(fs, uop, entry), WriteIndexEntry;
//      when a later one throws, RestoreUopFile(fs, uop, added.undo) and RestoreMultiData undo the earlier.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "mulfiles/FileSystem.h"
#include "uop/UopContainer.h"
#include "uop/UopMultiPayload.h"
#include "uop/UopNewEntry.h"
#include "uop/UopWriter.h"

namespace keelwright {

inline constexpr std::string_view kHousingBinName = "build/multicollection/housing.bin";
// The version of MultiCollection.uop that multis are added to.
inline constexpr std::uint32_t kMultiCollectionVersion = 4;
// The highest multi number an entry name's six digits hold.
inline constexpr std::int32_t kHighestUopMulti = 999'999;

// "build/multicollection/000012.bin" for multi 12. Throws Overflow outside 0 to 999999.
std::string MultiEntryName(std::int32_t multi);

// Throws InvalidFileFormat, naming the file, unless it is a UOP file of version 4.
void RequireMultiCollection(const UopContainer& container);
// Whether an entry in use has multi M's name.
bool HasMultiEntry(const UopContainer& container, std::int32_t multi);
// The first multi number from `from` on without an entry.
std::int32_t FirstMultiWithoutEntry(const UopContainer& container, std::int32_t from = 0);

// A multi read from its entry.
struct UopMulti {
    std::int32_t multi = 0;   // the number its name gives
    UopMultiPayload payload;  // payload.number may differ from `multi` in a damaged file
    std::int32_t storedLength = 0;
    std::int32_t length = 0;  // decompressed
};

// Reads multi M: its entry found by name, the payload decompressed and decoded. Throws BadRecordNumber
// when there is no entry for M, InvalidFileFormat (naming the file and the entry) for a damaged one.
UopMulti ReadUopMulti(UopContainer& container, std::int32_t multi);
// Reads the multi of one entry, which its name gives as multi M.
UopMulti ReadUopMulti(UopContainer& container, const UopContainer::Located& located, std::int32_t multi);
// Reads multi M, opening the file (only read).
UopMulti ReadUopMulti(FileSystem& fileSystem, const std::filesystem::path& uop, std::int32_t multi);

// The entry of multi M holding these tiles (already in UOP form, the lead record included when wanted).
UopNewEntry NewMultiEntry(std::int32_t multi, std::span<const UopTile> tiles, std::int64_t fileTime);

// What AddMultiToUop did.
struct UopMultiAdded {
    std::int32_t multi = 0;
    std::string name;
    std::int32_t storedLength = 0;  // the zlib stream's length, per-entry header excluded
    std::int32_t length = 0;        // the payload's length decompressed
    UopAddResult added;             // added.undo undoes it with RestoreUopFile
};

// Adds the tiles as multi `multi`, or as the first multi without an entry when none is given. Refuses,
// writing nothing, a file that is not version 4 and a multi that already has an entry.
UopMultiAdded AddMultiToUop(FileSystem& fileSystem, const std::filesystem::path& uop,
                            std::span<const UopTile> tiles, std::int64_t fileTime,
                            std::optional<std::int32_t> multi = std::nullopt);

}  // namespace keelwright
