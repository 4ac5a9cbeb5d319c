#pragma once

#include <cstdint>

#include "mulfiles/RecordLayout.h"

namespace keelwright {

// One record of Multi.mul: a tile of a multi (layout in RecordLayout.h).
struct ComponentRecord {
    std::uint16_t ItemId = 0;
    std::int16_t X = 0;
    std::int16_t Y = 0;
    std::int16_t Z = 0;
    std::int32_t Flags = 0;

    // The record that begins every block the patcher writes; readers skip it.
    static constexpr ComponentRecord lead() { return ComponentRecord{1, 0, 0, 0, 0}; }

    // Encodes the record as its 12 bytes.
    RecordBytes encode() const;
    // Encodes the record into 12 bytes of a larger buffer.
    void encodeInto(RecordSpan out) const;
    // Decodes 12 bytes of Multi.mul.
    static ComponentRecord decode(ConstRecordSpan bytes);
};

}  // namespace keelwright
