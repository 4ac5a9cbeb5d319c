#include "mulfiles/Slots.h"

#include "model/NumberText.h"

namespace keelwright {

std::string SlotText(std::int32_t slot) {
    return "slot " + NumberText(slot) + " (multi " + NumberText(MultiNumberOfSlot(slot)) + ")";
}

std::string MultiNumberText(std::int32_t multi) {
    return "0x" + Hex32(multi) + " (" + NumberText(multi) + ")";
}

std::string MultiText(std::int32_t multi) {
    return "multi " + MultiNumberText(multi);
}

std::string ItemHexOfSlot(std::int32_t slot) {
    return Hex32(static_cast<std::int32_t>(ItemNumberOfSlot(slot)));
}

}  // namespace keelwright
