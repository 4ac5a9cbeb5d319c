#pragma once

// The lines, values and component choice that the script formats share.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/ComponentTable.h"
#include "scripts/ItemScripts.h"

namespace keelwright {

inline constexpr std::string_view kRuleLine = "/////////////////////////////////////////////////////////";
inline constexpr std::string_view kChangeIdLine = "// Multi Script - Change #### to available Item ID # ";
inline constexpr std::string_view kPasteLine =
    "in your sphereitems2.scp. Copy and paste script to your sphereitems2.scp.";
inline constexpr std::string_view kDeedCommentLine =
    "// This is the script for the deed. Change [####] to next ID #";
inline constexpr std::string_view kDeedPasteLine = "// in your sphereitems2.scp.";
static_assert(kRuleLine.size() == 57);

// The multi's item number: the patch slot plus 3FFF in upper-case hex ("44D1" for slot 1234, "3FFF" before
// any patch). Throws InvalidCall for a slot outside 0 to kMaxPatchSlot.
std::string ItemNumberText(std::int32_t patchSlot);

// The multi number that names the multi in a MULTIDEF section: the patch slot - 1. Throws InvalidCall for
// slot 0, naming the patch the multi needs first, and for a number outside 0 to kHighestSphereMulti.
std::int32_t SphereMultiNumber(std::int32_t patchSlot);

// The name a format defines its sections by: the multi name with every byte other than an ASCII letter,
// digit or underscore made an underscore, since Sphere reads signs such as "&", "-" and "'" as operators
// ("Stone & Plaster" gives "Stone___Plaster").
std::string DefinitionName(std::string_view multiName);

// Entry `entry`'s item id as the upper-case hex of its 16-bit value, without leading zeros ("4B0" for 1200).
// Throws, naming the component, for an id that is not a 16-bit number.
std::string ComponentIdText(const ComponentTable& table, std::int32_t entry);

// Whether entry `entry`'s Flags text reads as the number 0 ("0", "0.0" and "-0" all do). Throws, naming the
// component, for a text that is not a number.
bool HasZeroFlags(const ComponentTable& table, std::int32_t entry);

// Why a value cannot go on a script line: "holds a line break" (it would split the line, and the server
// would read the rest as a line of its own) or "holds the control character \x1B" (any other byte below
// 0x20, or 0x7F, which would reach the server raw). Nothing for a value that can.
std::optional<std::string> ScriptValueFault(std::string_view value);
// Why a buy or sell value cannot be a price: ScriptValueFault's reasons, and "is a negative number".
std::optional<std::string> PriceFault(std::string_view value);
// Throw InvalidCall, "WHAT REASON", for a value with ScriptValueFault's or PriceFault's reason.
void CheckScriptValue(std::string_view value, std::string_view what);
void CheckPrice(std::string_view value, std::string_view what);

// Bytes worth reserving for the script: the fixed lines, the values and a typical line per component.
std::size_t ExpectedScriptBytes(const ScriptDetails& details, const ComponentTable& table);

// Calls writeLine(idText, x, y, z) for every component that gets a line, in table order: none while the
// components list is empty; otherwise every component with Scripts Only, and without it those whose Flags
// is 0. X, Y and Z are the table's texts, unconverted.
template <typename WriteLine>
void ForEachScriptComponent(const ScriptDetails& details, const ComponentTable& table,
                            WriteLine&& writeLine) {
    if (details.componentsListCount <= 0) {
        return;
    }
    for (std::int32_t i = 0; i < table.Count; ++i) {
        if (details.scriptsOnly || HasZeroFlags(table, i)) {
            const auto e = static_cast<std::size_t>(i);
            writeLine(ComponentIdText(table, i), table.X[e], table.Y[e], table.Z[e]);
        }
    }
}

}  // namespace keelwright
