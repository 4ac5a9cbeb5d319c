#pragma once

// The warnings of a write that every reader of the client files does not see as written: a number Sphere
// cannot see, one ServUO takes for another multi, a UOP entry ModernUO cannot hold, a multi in Multi.mul
// that the readers of a MultiCollection.uop beside it never look for. The write goes ahead; the warnings
// are for the command line (on standard error), the window and the Shard window's plan.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "clientfiles/PatchTargets.h"

namespace keelwright {

// ServUO reads a Multi.mul multi's number masked with 0x3FFF: 0x4000 and up come out as lower numbers.
inline constexpr std::int32_t kServUoMulMask = 0x3FFF;
// ModernUO reads each UOP entry into a buffer of this many bytes; a larger payload stops it at start.
inline constexpr std::int64_t kModernUoEntryBytes = 65536;
// ModernUO sees multis 0 to 0xFFFF.
inline constexpr std::int32_t kModernUoHighestMulti = 0xFFFF;

// One multi a patch or an apply is about to write.
struct PlannedWrite {
    std::int32_t multi = 0;
    bool intoMul = false;              // into Multi.idx and Multi.mul
    bool intoUop = false;              // into MultiCollection.uop
    std::int64_t uopPayloadBytes = 0;  // with intoUop: the larger of its stored and unpacked payload
    bool uopBesideMul = false;         // a MultiCollection.uop lies beside Multi.mul (UopLiesBeside)
};

// One warning per reader that will not see the write as written ("Sphere sees multis 0 to 0x1FFF only:
// it will not see multi 0x2000 (8192)"); none when every reader will.
std::vector<std::string> ReaderWarnings(const PlannedWrite& write);

// The warnings of a write of multi `multi` into `targets`, `uopPayloadBytes` the larger of the UOP entry's
// stored and unpacked payload (with the UOP among the targets). Looks for a MultiCollection.uop beside
// Multi.mul when the UOP is not a target.
std::vector<std::string> ReaderWarnings(const PatchTargets& targets, std::int32_t multi,
                                        std::int64_t uopPayloadBytes);

// The sentences that the warnings and the reader check share: "ServUO reads Multi.mul's multi 0x4001
// (16385) as multi 0x1 (1) (it keeps the number's lowest 14 bits)", "ModernUO stops at start: multi 0x1401
// (5121)'s payload is 81,508 bytes, over 65,536".
std::string ServUoMaskText(std::int32_t multi);
std::string ModernUoPayloadText(std::int32_t multi, std::int64_t bytes);

// Whether a MultiCollection.uop, in any letter case, lies in the folder of `multiMul`. Only looks at the
// folder's names; a folder that cannot be read has none.
bool UopLiesBeside(const std::filesystem::path& multiMul);

}  // namespace keelwright
