#include "uop/UopEntry.h"

#include "mulfiles/RecordLayout.h"

namespace keelwright {

UopEntry::Bytes UopEntry::encode() const {
    Bytes bytes{};
    PutLittleEndian(&bytes[0], Offset);
    PutLittleEndian(&bytes[8], HeaderLength);
    PutLittleEndian(&bytes[12], StoredLength);
    PutLittleEndian(&bytes[16], DecompressedLength);
    PutLittleEndian(&bytes[20], NameHash);
    PutLittleEndian(&bytes[28], DataHash);
    PutLittleEndian(&bytes[32], Compression);
    return bytes;
}

UopEntry UopEntry::decode(std::span<const std::uint8_t, kUopEntrySize> bytes) {
    UopEntry entry;
    entry.Offset = GetLittleEndian<std::int64_t>(&bytes[0]);
    entry.HeaderLength = GetLittleEndian<std::int32_t>(&bytes[8]);
    entry.StoredLength = GetLittleEndian<std::int32_t>(&bytes[12]);
    entry.DecompressedLength = GetLittleEndian<std::int32_t>(&bytes[16]);
    entry.NameHash = GetLittleEndian<std::uint64_t>(&bytes[20]);
    entry.DataHash = GetLittleEndian<std::uint32_t>(&bytes[28]);
    entry.Compression = GetLittleEndian<std::int16_t>(&bytes[32]);
    return entry;
}

std::optional<std::uint64_t> UopEntry::dataEnd() const {
    if (Offset < 0 || HeaderLength < 0 || StoredLength < 0) {
        return std::nullopt;
    }
    // Offset is below 2^63 and both lengths below 2^31, so the sum fits 64 unsigned bits.
    return static_cast<std::uint64_t>(Offset) + static_cast<std::uint64_t>(HeaderLength) +
           static_cast<std::uint64_t>(StoredLength);
}

}  // namespace keelwright
