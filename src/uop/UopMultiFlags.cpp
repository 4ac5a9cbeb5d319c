#include "uop/UopMultiFlags.h"

#include "model/Error.h"
#include "model/NumberText.h"

namespace keelwright {
namespace {

constexpr std::uint16_t kDynamic = 0x001;
constexpr std::uint16_t kExtra = 0x100;

}  // namespace

std::uint16_t UopFlagsOfMul(MulTileFlags mul) {
    if ((mul.flags != 0 && mul.flags != 1) || (mul.extra != 0 && mul.extra != 1)) {
        throw Error(ErrorNumber::Overflow, "flags " + NumberText(mul.flags) + " with extra " +
                                               NumberText(mul.extra) +
                                               " have no MultiCollection.uop form (only 0 and 1 do)");
    }
    return static_cast<std::uint16_t>((mul.flags == 0 ? kDynamic : 0) | (mul.extra == 1 ? kExtra : 0));
}

MulTileFlags MulFlagsOfUop(std::uint16_t flags) {
    if ((flags & ~(kDynamic | kExtra)) != 0) {
        throw Error(ErrorNumber::Overflow, "UOP flags " + Hex16(static_cast<std::int16_t>(flags)) +
                                               " (hex) have no Multi.mul form (only bits 1 and 100 do)");
    }
    return MulTileFlags{(flags & kDynamic) != 0 ? 0 : 1, (flags & kExtra) != 0 ? 1 : 0};
}

}  // namespace keelwright
