#pragma once

#include <cstdint>
#include <span>

#include "mulfiles/RecordLayout.h"

namespace keelwright {

// One record of Multi.mul: a tile of a multi (layouts in RecordLayout.h).
struct ComponentRecord {
    std::uint16_t ItemId = 0;
    std::int16_t X = 0;
    std::int16_t Y = 0;
    std::int16_t Z = 0;
    std::int32_t Flags = 0;
    std::int32_t Extra = 0;  // in 16-byte records only; a 12-byte record neither holds nor writes it

    // The record that begins every block the patcher writes; readers drop it.
    static constexpr ComponentRecord lead() { return ComponentRecord{1, 0, 0, 0, 0, 0}; }
    // Whether every field is that of the lead record.
    bool isLead() const;

    // Encodes the record as its 12 bytes.
    RecordBytes encode() const;
    // Encodes the record into 12 bytes of a larger buffer.
    void encodeInto(RecordSpan out) const;
    // Decodes 12 bytes of Multi.mul.
    static ComponentRecord decode(ConstRecordSpan bytes);

    // Encodes the record into the first BytesOf(size) bytes of `out`.
    void encodeInto(std::span<std::uint8_t> out, RecordSize size) const;
    // Decodes the first BytesOf(size) bytes of `bytes`.
    static ComponentRecord decode(std::span<const std::uint8_t> bytes, RecordSize size);

    bool operator==(const ComponentRecord&) const = default;
};

}  // namespace keelwright
