#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "mulfiles/Slots.h"

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

// The script formats, each for the Sphere servers that read it.
enum class ScriptFormat {
    Ver51a,  // "Ver. 51a": the multi is an item numbered slot + 3FFF
    Ver54,   // "Ver. 54+": the multi is an ITEMDEF numbered slot + 3FFF, with definition names
    VerX,    // "Ver. X", Sphere 0.56d and the X line: the multi is a MULTIDEF numbered slot - 1
};

// The multi's item number is the patch slot plus 3FFF; larger slots would take it past 32 bits.
inline constexpr std::int32_t kMaxPatchSlot = std::numeric_limits<std::int32_t>::max() - 0x3FFF;

// The format a command line names: "51a", "54" or "x"; empty for any other text.
std::optional<ScriptFormat> ScriptFormatNamed(std::string_view name);
// The name ScriptFormatNamed takes for the format.
const char* ScriptFormatName(ScriptFormat format);

// Whether the format names the multi by the slot a patch gave it, so that it has no text before a patch
// (patch slot 0): the front ends ask for a patch, or a slot, first.
bool NeedsPatchSlot(ScriptFormat format);

// The builders return the whole text or throw Error: TypeMismatch or Overflow for an item id or Flags
// text that the text needs as a number and that is not one, InvalidCall for a slot outside 0 to
// kMaxPatchSlot (1 to kHighestSphereMulti + 1 for "Ver. X", whose reason for slot 0 says that the multi
// must be patched first) or for a line break in a value the text holds.

// The item scripts for the multi and its deed in the chosen format, from the builder below that makes it.
std::string CreateScript(ScriptFormat format, const ScriptDetails& details, const ComponentTable& table);

// The item scripts for the multi and its deed in the old ("Ver. 51a") format, every line ending in CR LF.
std::string CreateScript51a(const ScriptDetails& details, const ComponentTable& table);

// The item scripts for the multi and its deed in the new ("Ver. 54+") format, every line ending in CR LF.
std::string CreateScript54(const ScriptDetails& details, const ComponentTable& table);

// The multi's MULTIDEF section and its deed's ITEMDEF in the "Ver. X" format, every line ending in CR LF.
std::string CreateScriptX(const ScriptDetails& details, const ComponentTable& table);

}  // namespace keelwright
