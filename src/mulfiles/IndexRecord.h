#pragma once

#include <cstdint>

#include "mulfiles/RecordLayout.h"

namespace keelwright {

// One record of Multi.idx (layout in RecordLayout.h).
struct IndexRecord {
    std::int32_t Offset = 0;
    std::int32_t Length = 0;
    std::int32_t Extra = 0;

    // Encodes the record as its 12 bytes.
    RecordBytes encode() const;
    // Decodes 12 bytes of Multi.idx.
    static IndexRecord decode(ConstRecordSpan bytes);

    // A free slot: Length -1; Offset and Extra are not looked at.
    bool isFree() const { return Length == -1; }
    // What a read past the end of the index gives: Offset and Length 0; Extra is not looked at.
    bool isZero() const { return Offset == 0 && Length == 0; }
    // Whether Length is a whole positive multiple of the record size, so the block holds whole records.
    bool hasWholeBlockLength(RecordSize size) const {
        const auto bytes = static_cast<std::int32_t>(BytesOf(size));
        return Length >= bytes && Length % bytes == 0;
    }
    // Whether the block lies wholly within a Multi.mul of `dataSize` bytes.
    bool blockFitsIn(std::uint64_t dataSize) const;
    // The records of a block of whole length, a lead record included.
    std::int32_t recordCount(RecordSize size) const {
        return Length / static_cast<std::int32_t>(BytesOf(size));
    }
    // What a free slot of a shipped index holds, and what a removal writes.
    static constexpr IndexRecord free() { return IndexRecord{-1, -1, -1}; }

    bool operator==(const IndexRecord&) const = default;
};

}  // namespace keelwright
