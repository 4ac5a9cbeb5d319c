#pragma once

#include <cstdint>
#include <vector>

namespace keelwright {

struct ComponentTable;

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

}  // namespace keelwright
