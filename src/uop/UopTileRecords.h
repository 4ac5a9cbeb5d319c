#pragma once

// The glue between the tiles of Multi.mul and those of MultiCollection.uop, so that one multi reads and
// writes the same in both: the same item and place, the flags converted (UopMultiFlags.h).

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "model/PartIds.h"
#include "mulfiles/ComponentRecord.h"
#include "mulfiles/FileSystem.h"
#include "uop/UopTile.h"

namespace keelwright {

struct ComponentTable;

// A Multi.mul record as a UOP tile, without part ids. Throws Overflow for Flags or Extra other than 0 and 1.
UopTile UopTileOfRecord(const ComponentRecord& record);
// A UOP tile as a Multi.mul record. Its part ids have no place there and are left out. Throws Overflow for
// UOP flags with a bit other than 0x001 and 0x100.
ComponentRecord RecordOfUopTile(const UopTile& tile);

// The UOP tiles of a block of Multi.mul in records of `size`, one per record, a lead record included.
// Throws Overflow naming the component (the records after the first, from 1) that has no UOP form.
std::vector<UopTile> UopTilesOfBlock(std::span<const std::uint8_t> block, RecordSize size);

// The multi text of UOP tiles, as extraction from Multi.mul writes it: a first tile that is the lead record
// is left out, every other tile is a component. Throws Overflow naming the tile (from 1) whose flags have
// no Multi.mul form.
std::string MultiTextOfUopTiles(std::span<const UopTile> tiles);

// The exact multi text of UOP tiles (ExactMultiTextOfRecords): every tile a line, a lead record included,
// the flags as the 64-bit word of a 16-byte record, the tile's part ids after them.
std::string ExactMultiTextOfUopTiles(std::span<const UopTile> tiles);

// The components of UOP tiles, as MultiTextOfUopTiles writes them; with `exact` every tile, a lead record
// included.
std::vector<ComponentRecord> ComponentsOfUopTiles(std::span<const UopTile> tiles, bool exact = false);
// The part ids of the components ComponentsOfUopTiles gives, component k's at index k; the list ends with
// the last component that has any.
std::vector<PartIdList> PartsOfUopTiles(std::span<const UopTile> tiles, bool exact = false);

// Gives the tiles of a block encoded from the table (EncodeMultiData or EncodeExactMultiData) the part ids
// of the table's entries, which are the last table.Count tiles.
void AttachTableParts(std::span<UopTile> tiles, const ComponentTable& table);

// The components of multi M of a MultiCollection.uop, which is only read; throws as ExtractUopMultiText.
// With `parts`, it gets their part ids (PartsOfUopTiles).
std::vector<ComponentRecord> ExtractUopComponents(FileSystem& fileSystem, const std::filesystem::path& uop,
                                                  std::int32_t multi, bool exact = false,
                                                  std::vector<PartIdList>* parts = nullptr);

// The multi text of multi M of a MultiCollection.uop, which is only read; exact with `exact`. Throws as
// ReadUopMulti does and as MultiTextOfUopTiles does, naming the file and the multi.
std::string ExtractUopMultiText(FileSystem& fileSystem, const std::filesystem::path& uop, std::int32_t multi,
                                bool exact = false);

}  // namespace keelwright
