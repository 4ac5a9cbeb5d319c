#pragma once

#include <cstdint>
#include <limits>
#include <string>

namespace keelwright {

struct ComponentTable;

// What the window's script boxes and state hold when the scripts are made.
struct ScriptDetails {
    std::string multiName;  // exactly as typed, not trimmed
    std::string buyValue;
    std::string sellValue;
    bool scriptsOnly = false;              // every component gets a line, not only the listed ones
    std::int32_t patchSlot = 0;            // the slot the last patch filled; 0 before any patch
    std::int16_t componentsListCount = 0;  // while the list is empty, no component gets a line
};

// The multi's item number is the patch slot plus 3FFF; larger slots would take it past 32 bits.
inline constexpr std::int32_t kMaxPatchSlot = std::numeric_limits<std::int32_t>::max() - 0x3FFF;

// The two builders return the whole text or throw Error: TypeMismatch or Overflow for an item id or Flags
// text that the text needs as a number and that is not one, InvalidCall for a slot outside 0 to
// kMaxPatchSlot or for a line break in a value the text holds.

// The item scripts for the multi and its deed in the old ("Ver. 51a") format, every line ending in CR LF.
std::string CreateScript51a(const ScriptDetails& details, const ComponentTable& table);

// The item scripts for the multi and its deed in the new ("Ver. 54+") format, every line ending in CR LF.
std::string CreateScript54(const ScriptDetails& details, const ComponentTable& table);

}  // namespace keelwright
