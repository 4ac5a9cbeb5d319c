#pragma once

#include <cstdint>
#include <vector>

namespace keelwright {

// One tile of a multi as MultiCollection.uop stores it (layout in UopMultiPayload.h).
struct UopTile {
    std::uint16_t ItemId = 0;
    std::int16_t X = 0;
    std::int16_t Y = 0;
    std::int16_t Z = 0;
    std::uint16_t Flags = 0;
    std::vector<std::uint32_t> Parts;  // ids of ship and door parts, kept as read

    // The lead record that begins every block the Multi.mul patcher writes, in its UOP form: item 1 at
    // 0,0,0 with Multi.mul flags 0, so UOP flags 1.
    static UopTile lead() { return UopTile{1, 0, 0, 0, 1, {}}; }

    bool operator==(const UopTile&) const = default;
};

}  // namespace keelwright
