#pragma once

#include <cstdint>
#include <string>

namespace keelwright {

// A slot is a record number of Multi.idx, counted from 1; slot s holds multi number s - 1.

// The highest multi number Sphere can use (0x1FFE); the client files take higher ones, which only the game
// client and the other servers read.
inline constexpr std::int32_t kHighestSphereMulti = 8190;

// The multi number a slot holds.
constexpr std::int32_t MultiNumberOfSlot(std::int32_t slot) {
    return slot - 1;
}
// The slot that holds a multi number.
constexpr std::int32_t SlotOfMultiNumber(std::int32_t multi) {
    return multi + 1;
}
// The byte at which a slot's record begins in Multi.idx.
constexpr std::int64_t ByteOffsetOfSlot(std::int32_t slot) {
    return (static_cast<std::int64_t>(slot) - 1) * 12;
}
// The item number of the multi in a slot: 16384 + (slot - 1).
constexpr std::int64_t ItemNumberOfSlot(std::int32_t slot) {
    return static_cast<std::int64_t>(slot) + 16383;
}
// A slot as messages about Multi.idx name it: "slot 5 (multi 4)".
std::string SlotText(std::int32_t slot);
// A multi number as messages name it, in hexadecimal and decimal: "multi 0x1400 (5120)".
std::string MultiText(std::int32_t multi);
// The number alone in both forms: "0x1400 (5120)".
std::string MultiNumberText(std::int32_t multi);
// The item number in upper-case hexadecimal, as the item scripts write it ("4004" for slot 5).
std::string ItemHexOfSlot(std::int32_t slot);

}  // namespace keelwright
