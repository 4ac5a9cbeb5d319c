#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "mulfiles/RecordLayout.h"

namespace keelwright {

struct ComponentTable;
struct UopMultiPayload;

// One tile of a multi as the preview draws it: the values of a Multi.mul record or of a loaded table entry.
struct PreviewTile {
    std::uint16_t ItemId = 0;
    std::int16_t X = 0;
    std::int16_t Y = 0;
    std::int16_t Z = 0;
    std::int32_t Flags = 1;  // 0: a separate component (a door, a sign); anything else: an ordinary tile

    bool isComponent() const { return Flags == 0; }
    bool operator==(const PreviewTile&) const = default;
};

// The tiles of a loaded multi, entries 0 to Count - 1 in table order, converted as a patch converts them.
// Throws the conversion's Error, its reason naming the component (from 1), for a value that does not fit.
std::vector<PreviewTile> PreviewTilesOf(const ComponentTable& table);

// The tiles of a Multi.mul block (a whole positive number of records of `size`), a first record that is the
// lead record left out as extraction leaves it out. Throws InvalidFileFormat for a block of another length.
std::vector<PreviewTile> PreviewTilesOfBlock(std::span<const std::uint8_t> block, RecordSize size);

// The tiles of a multi of MultiCollection.uop, a leading lead record left out. A tile whose UOP flags have
// bit 0x001 set (dynamic: doors, signs) is a component; the other bits do not matter to a picture.
std::vector<PreviewTile> PreviewTilesOfUop(const UopMultiPayload& payload);

}  // namespace keelwright
