#include "mulfiles/ComponentRecord.h"

namespace keelwright {
namespace {

constexpr RecordLayout kLayout(Field{&ComponentRecord::ItemId, 0}, Field{&ComponentRecord::X, 2},
                               Field{&ComponentRecord::Y, 4}, Field{&ComponentRecord::Z, 6},
                               Field{&ComponentRecord::Flags, 8});
static_assert(kLayout.tilesOneRecord(), "ComponentRecord must fill exactly 12 bytes");

}  // namespace

RecordBytes ComponentRecord::encode() const {
    RecordBytes bytes{};
    kLayout.encode(*this, bytes);
    return bytes;
}

void ComponentRecord::encodeInto(RecordSpan out) const {
    kLayout.encode(*this, out);
}

ComponentRecord ComponentRecord::decode(ConstRecordSpan bytes) {
    return kLayout.decode(bytes);
}

}  // namespace keelwright
