#include "mulfiles/ComponentRecord.h"

#include "model/Error.h"

namespace keelwright {
namespace {

constexpr std::size_t kWideRecordSize = BytesOf(RecordSize::Sixteen);

constexpr auto kComponentLayout = LayoutOf<kRecordSize>(
    Field{&ComponentRecord::ItemId, 0}, Field{&ComponentRecord::X, 2}, Field{&ComponentRecord::Y, 4},
    Field{&ComponentRecord::Z, 6}, Field{&ComponentRecord::Flags, 8});
static_assert(kComponentLayout.tilesOneRecord(), "a 12-byte ComponentRecord must fill exactly 12 bytes");

constexpr auto kWideLayout = LayoutOf<kWideRecordSize>(
    Field{&ComponentRecord::ItemId, 0}, Field{&ComponentRecord::X, 2}, Field{&ComponentRecord::Y, 4},
    Field{&ComponentRecord::Z, 6}, Field{&ComponentRecord::Flags, 8}, Field{&ComponentRecord::Extra, 12});
static_assert(kWideLayout.tilesOneRecord(), "a 16-byte ComponentRecord must fill exactly 16 bytes");

void checkRoom(std::size_t have, RecordSize size) {
    if (have < BytesOf(size)) {
        throw Error(ErrorNumber::InvalidCall, "a record needs " + std::to_string(BytesOf(size)) +
                                                  " bytes, but only " + std::to_string(have) + " are there");
    }
}

}  // namespace

bool ComponentRecord::isLead() const {
    const ComponentRecord l = lead();
    return ItemId == l.ItemId && X == l.X && Y == l.Y && Z == l.Z && Flags == l.Flags && Extra == l.Extra;
}

RecordBytes ComponentRecord::encode() const {
    RecordBytes bytes{};
    kComponentLayout.encode(*this, bytes);
    return bytes;
}

void ComponentRecord::encodeInto(RecordSpan out) const {
    kComponentLayout.encode(*this, out);
}

ComponentRecord ComponentRecord::decode(ConstRecordSpan bytes) {
    return kComponentLayout.decode(bytes);
}

void ComponentRecord::encodeInto(std::span<std::uint8_t> out, RecordSize size) const {
    checkRoom(out.size(), size);
    if (size == RecordSize::Sixteen) {
        kWideLayout.encode(*this, out.first<kWideRecordSize>());
    } else {
        kComponentLayout.encode(*this, out.first<kRecordSize>());
    }
}

ComponentRecord ComponentRecord::decode(std::span<const std::uint8_t> bytes, RecordSize size) {
    checkRoom(bytes.size(), size);
    return size == RecordSize::Sixteen ? kWideLayout.decode(bytes.first<kWideRecordSize>())
                                       : kComponentLayout.decode(bytes.first<kRecordSize>());
}

}  // namespace keelwright
