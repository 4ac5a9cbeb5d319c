#pragma once

// Multi.idx and Multi.mul are plain arrays of 12-byte records without a header. Every integer is
// little-endian two's complement and is encoded byte by byte, never by copying a struct.
//
//   IndexRecord: one record of Multi.idx. Slot s (from 1) lies at bytes (s - 1) * 12 and holds multi
//   number s - 1, whose item number is s + 16383.
//     bytes 0-3    Offset   int32   byte offset of the multi's block in Multi.mul
//     bytes 4-7    Length   int32   length of the block in bytes; -1 marks a free slot
//     bytes 8-11   Extra    int32   written as -1, never read
//
//   ComponentRecord: one record of Multi.mul. Record n (from 1) lies at bytes (n - 1) * 12.
//     bytes 0-1    ItemId   uint16  item number of the tile
//     bytes 2-3    X        int16   x offset within the multi
//     bytes 4-5    Y        int16   y offset
//     bytes 6-7    Z        int16   height
//     bytes 8-11   Flags    int32   carried through unread
//
// A block is Length / 12 component records. Its first is a lead record (ItemId 1, everything else 0)
// that readers skip, so a block of n components is n * 12 + 12 bytes long.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <tuple>
#include <type_traits>

namespace keelwright {

inline constexpr std::size_t kRecordSize = 12;

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

// The field list of a fixed record; the one list serves encoding and decoding.
template <typename Record, typename... Ints>
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
        return inOrder && next == kRecordSize;
    }

    void encode(const Record& record, RecordSpan out) const {
        std::apply(
            [&](const auto&... field) {
                (PutLittleEndian(out.data() + field.at, record.*field.member), ...);
            },
            fields_);
    }

    Record decode(ConstRecordSpan in) const {
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

}  // namespace keelwright
