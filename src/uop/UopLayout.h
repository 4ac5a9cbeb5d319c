#pragma once

// A UOP file (MultiCollection.uop, artLegacyMUL.uop, ...) is a container of named entries. Every integer
// is little-endian, encoded byte by byte.
//
//   Header, 40 bytes at byte 0:
//     bytes 0-3    Magic        uint32  0x0050594D ("MYP\0")
//     bytes 4-7    Version      uint32  4 in MultiCollection.uop, 5 in artLegacyMUL.uop
//     bytes 8-11   Signature    uint32  0xFD23EC43
//     bytes 12-19  FirstBlock   int64   byte offset of the first table block (0: none)
//     bytes 20-23  Capacity     uint32  entries per table block (100 in version 4)
//     bytes 24-27  FileCount    uint32  entries in use, summed over the blocks
//     bytes 28-39  zero
//   In version 4 the first block follows the header directly.
//
//   Table block, 12 + Capacity * 34 bytes; the blocks form a chain through NextBlock:
//     bytes 0-3    UsedCount    int32   entries in use in this block (readers that honour it read the
//                                       first UsedCount entries)
//     bytes 4-11   NextBlock    int64   byte offset of the next block; 0 ends the chain
//     then Capacity entries. An unused entry is 34 zero bytes.
//
//   Entry, 34 bytes:
//     bytes 0-7    Offset              int64   where the entry's data begins; 0: readers skip the entry
//     bytes 8-11   HeaderLength        int32   bytes of the per-entry header before the payload
//     bytes 12-15  StoredLength        int32   bytes of the payload as stored
//     bytes 16-19  DecompressedLength  int32   bytes of the payload once decompressed
//     bytes 20-27  NameHash            uint64  UopNameHash of the entry's name (UopNameHash.h)
//     bytes 28-31  DataHash            uint32  Adler-32 of the per-entry header (version 4)
//     bytes 32-33  Compression         int16   0 stored as is, 1 a zlib stream (2-byte zlib header)
//
//   Entry data at Offset: HeaderLength bytes of per-entry header, then StoredLength bytes of payload.
//   The per-entry header of version 4 is 12 bytes: uint16 3, uint16 8, int64 a Windows FILETIME.

#include <cstddef>
#include <cstdint>

namespace keelwright {

inline constexpr std::uint32_t kUopMagic = 0x0050594D;
inline constexpr std::uint32_t kUopSignature = 0xFD23EC43;
inline constexpr std::size_t kUopHeaderSize = 40;
inline constexpr std::size_t kUopBlockHeaderSize = 12;
inline constexpr std::size_t kUopEntrySize = 34;
inline constexpr std::size_t kUopEntryHeaderSize = 12;  // the per-entry header of version 4

// The byte of a block's field or of its n-th entry (from 0), relative to the block's offset.
inline constexpr std::uint64_t kUopNextBlockField = 4;
inline constexpr std::uint64_t UopEntryPosition(std::uint64_t n) {
    return kUopBlockHeaderSize + n * kUopEntrySize;
}
// The byte of the header's FileCount.
inline constexpr std::uint64_t kUopFileCountField = 24;

enum class UopCompression : std::int16_t { None = 0, Zlib = 1 };

}  // namespace keelwright
