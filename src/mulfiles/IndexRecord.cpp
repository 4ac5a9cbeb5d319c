#include "mulfiles/IndexRecord.h"

namespace keelwright {
namespace {

constexpr auto kIndexLayout = LayoutOf<kRecordSize>(
    Field{&IndexRecord::Offset, 0}, Field{&IndexRecord::Length, 4}, Field{&IndexRecord::Extra, 8});
static_assert(kIndexLayout.tilesOneRecord(), "IndexRecord must fill exactly 12 bytes");

}  // namespace

RecordBytes IndexRecord::encode() const {
    RecordBytes bytes{};
    kIndexLayout.encode(*this, bytes);
    return bytes;
}

IndexRecord IndexRecord::decode(ConstRecordSpan bytes) {
    return kIndexLayout.decode(bytes);
}

bool IndexRecord::blockFitsIn(std::uint64_t dataSize) const {
    if (Offset < 0 || Length < 0) {
        return false;
    }
    return static_cast<std::uint64_t>(Offset) + static_cast<std::uint64_t>(Length) <= dataSize;
}

}  // namespace keelwright
