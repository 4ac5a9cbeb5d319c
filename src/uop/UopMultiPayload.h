#pragma once

// The payload of a multi's entry in MultiCollection.uop (decompressed), little-endian:
//   bytes 0-3    Number   uint32  the multi number, the same as in the entry's name
//   bytes 4-7    Count    uint32  tiles that follow
//   then Count tiles, each 14 + 4 * N bytes:
//     bytes 0-1    ItemId  uint16
//     bytes 2-7    X, Y, Z int16 each
//     bytes 8-9    Flags   uint16  UOP flags (UopMultiFlags.h)
//     bytes 10-13  N       uint32  part ids that follow
//     then N uint32 part ids (ships and doors)
// The payload ends with the last tile.

#include <cstdint>
#include <span>
#include <vector>

#include "uop/UopTile.h"

namespace keelwright {

// A multi's payload: its number and its tiles.
struct UopMultiPayload {
    std::uint32_t number = 0;
    std::vector<UopTile> tiles;

    // The payload's bytes.
    std::vector<std::uint8_t> encode() const;
    // Reads a payload. Throws InvalidFileFormat, naming the tile and the byte, for a payload that ends
    // inside a tile or goes on after the last one; counts it claims never size a buffer beyond its length.
    static UopMultiPayload decode(std::span<const std::uint8_t> bytes);

    // Whether the first tile is the lead record of a Multi.mul block (UopTile::lead()).
    bool startsWithLeadRecord() const { return !tiles.empty() && tiles.front() == UopTile::lead(); }
    // The tiles without a leading lead record.
    std::span<const UopTile> components() const {
        return std::span(tiles).subspan(startsWithLeadRecord() ? 1 : 0);
    }

    bool operator==(const UopMultiPayload&) const = default;
};

}  // namespace keelwright
