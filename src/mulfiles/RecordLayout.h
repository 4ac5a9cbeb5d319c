#pragma once

// Multi.idx and Multi.mul are plain arrays of fixed records without a header. Every integer is
// little-endian two's complement and is encoded byte by byte, never by copying a struct.
//
//   IndexRecord: one record of Multi.idx, 12 bytes in every client. Slot s (from 1) lies at bytes
//   (s - 1) * 12 and holds multi number s - 1, whose item number is s + 16383.
//     bytes 0-3    Offset   int32   byte offset of the multi's block in Multi.mul
//     bytes 4-7    Length   int32   length of the block in bytes; -1 marks a free slot
//     bytes 8-11   Extra    int32   written as -1, never read
//
//   ComponentRecord: one record of Multi.mul, a tile of a multi. Clients before 7.0.9.0 use 12-byte
//   records, later ones 16-byte records; a file holds one size only. Record n (from 1) lies at bytes
//   (n - 1) * size.
//     bytes 0-1    ItemId   uint16  item number of the tile
//     bytes 2-3    X        int16   x offset within the multi
//     bytes 4-5    Y        int16   y offset
//     bytes 6-7    Z        int16   height
//     bytes 8-11   Flags    int32   carried through unread; 0 or 1 in shipped files
//     bytes 12-15  Extra    int32   16-byte records only; 0 or 1 in shipped files, written as 0
//
// A block is Length / size records; Offset and Length count bytes in both sizes. A block the patcher
// writes begins with a lead record (ItemId 1, everything else 0), so a block of n components is
// (n + 1) * size bytes long. Blocks from elsewhere may begin with a tile: readers drop the first record
// only when it is the lead record.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <tuple>
#include <type_traits>

namespace keelwright {

// The size of a Multi.idx record, and of a Multi.mul record in the classic layout.
inline constexpr std::size_t kRecordSize = 12;

// The size of a Multi.mul record: 12 bytes in clients before 7.0.9.0, 16 bytes from 7.0.9.0 on.
enum class RecordSize : std::uint8_t { Twelve = 12, Sixteen = 16 };

// The record size in bytes.
constexpr std::size_t BytesOf(RecordSize size) {
    return static_cast<std::size_t>(size);
}

using RecordBytes = std::array<std::uint8_t, kRecordSize>;
using RecordSpan = std::span<std::uint8_t, kRecordSize>;
using ConstRecordSpan = std::span<const std::uint8_t, kRecordSize>;

// Stores an integer at `out` as little-endian bytes.
template <typename Int>
constexpr void PutLittleEndian(std::uint8_t* out, Int value) {
    auto bits = static_cast<std::make_unsigned_t<Int>>(value);
    for (std::size_t i = 0; i < sizeof(Int); ++i) {
        out[i] = static_cast<std::uint8_t>(bits & 0xFFU);
        bits = static_cast<std::make_unsigned_t<Int>>(bits >> 8);
    }
}

// Reads a little-endian integer from `in`; the top bit is the sign for a signed type.
template <typename Int>
constexpr Int GetLittleEndian(const std::uint8_t* in) {
    std::make_unsigned_t<Int> bits = 0;
    for (std::size_t i = sizeof(Int); i-- > 0;) {
        bits = static_cast<std::make_unsigned_t<Int>>((bits << 8) | in[i]);
    }
    return static_cast<Int>(bits);
}

// One field of a record: the member it fills and the byte it starts at.
template <typename Record, typename Int>
struct Field {
    Int Record::*member;
    std::size_t at;
};
// Spelled out because deducing an aggregate's template arguments is not yet in every compiler.
template <typename Record, typename Int>
Field(Int Record::*, std::size_t) -> Field<Record, Int>;

// The field list of a fixed record of `Size` bytes; the one list serves encoding and decoding.
template <std::size_t Size, typename Record, typename... Ints>
class RecordLayout {
public:
    constexpr explicit RecordLayout(Field<Record, Ints>... fields) : fields_(fields...) {}

    // True when the fields lie end to end in their order and fill exactly one record.
    constexpr bool tilesOneRecord() const {
        std::size_t next = 0;
        bool inOrder = true;
        std::apply(
            [&](const auto&... field) {
                ((inOrder = inOrder && field.at == next, next += width(field)), ...);
            },
            fields_);
        return inOrder && next == Size;
    }

    void encode(const Record& record, std::span<std::uint8_t, Size> out) const {
        std::apply(
            [&](const auto&... field) {
                (PutLittleEndian(out.data() + field.at, record.*field.member), ...);
            },
            fields_);
    }

    Record decode(std::span<const std::uint8_t, Size> in) const {
        Record record;
        std::apply(
            [&](const auto&... field) {
                ((record.*field.member = GetLittleEndian<Ints>(in.data() + field.at)), ...);
            },
            fields_);
        return record;
    }

private:
    template <typename Int>
    static constexpr std::size_t width(const Field<Record, Int>&) {
        return sizeof(Int);
    }

    std::tuple<Field<Record, Ints>...> fields_;
};

// The layout of a `Size`-byte record from its fields, the record type and field types deduced.
template <std::size_t Size, typename Record, typename... Ints>
constexpr RecordLayout<Size, Record, Ints...> LayoutOf(Field<Record, Ints>... fields) {
    return RecordLayout<Size, Record, Ints...>(fields...);
}

}  // namespace keelwright
