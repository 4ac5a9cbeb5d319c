#include "uop/UopHeader.h"

#include "mulfiles/RecordLayout.h"

namespace keelwright {

UopHeader::Bytes UopHeader::encode() const {
    Bytes bytes{};
    PutLittleEndian(&bytes[0], Magic);
    PutLittleEndian(&bytes[4], Version);
    PutLittleEndian(&bytes[8], Signature);
    PutLittleEndian(&bytes[12], FirstBlock);
    PutLittleEndian(&bytes[20], Capacity);
    PutLittleEndian(&bytes[kUopFileCountField], FileCount);
    return bytes;
}

UopHeader UopHeader::decode(const Bytes& bytes) {
    UopHeader header;
    header.Magic = GetLittleEndian<std::uint32_t>(&bytes[0]);
    header.Version = GetLittleEndian<std::uint32_t>(&bytes[4]);
    header.Signature = GetLittleEndian<std::uint32_t>(&bytes[8]);
    header.FirstBlock = GetLittleEndian<std::int64_t>(&bytes[12]);
    header.Capacity = GetLittleEndian<std::uint32_t>(&bytes[20]);
    header.FileCount = GetLittleEndian<std::uint32_t>(&bytes[kUopFileCountField]);
    return header;
}

}  // namespace keelwright
