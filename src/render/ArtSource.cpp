#include "render/ArtSource.h"

#include "model/NumberText.h"

namespace keelwright {

std::string DescribeItem(std::uint16_t itemId) {
    const std::string hex = Hex16(itemId);
    return "item " + NumberText(itemId) + " (0x" + std::string(4 - hex.size(), '0') + hex + ")";
}

}  // namespace keelwright
