#include "scripts/ScriptParts.h"

#include <algorithm>
#include <cstdio>

#include "model/Error.h"
#include "model/NumberText.h"

namespace keelwright {
namespace {

constexpr std::size_t kFixedScriptBytes = 1024;     // every literal line of either format, with room
constexpr std::size_t kNameCopies = 8;              // the most times either format writes the name
constexpr std::size_t kTypicalComponentBytes = 32;  // "COMPONENT=04B0,-12,-7,20,0" and its CR LF

// Runs a conversion of one value of component `entry`, naming the component (counted from 1) in its error.
template <typename Conversion>
auto ofComponent(std::int32_t entry, Conversion&& conversion) {
    try {
        return conversion();
    } catch (const Error& e) {
        throw Error(e.number(), "component " + NumberText(std::int64_t{entry} + 1) + ": " + e.reason());
    }
}

}  // namespace

std::string ItemNumberText(std::int32_t patchSlot) {
    if (patchSlot < 0 || patchSlot > kMaxPatchSlot) {
        throw Error(ErrorNumber::InvalidCall, "patch slot " + NumberText(patchSlot) +
                                                  " gives no item number (slots run from 0 to " +
                                                  NumberText(kMaxPatchSlot) + ")");
    }
    return Hex32(patchSlot + 0x3FFF);
}

std::int32_t SphereMultiNumber(std::int32_t patchSlot) {
    if (patchSlot == 0) {
        throw Error(
            ErrorNumber::InvalidCall,
            "the multi must be patched first: Ver. X scripts name it by the multi number of its slot");
    }
    if (patchSlot < 1 || patchSlot - 1 > kHighestSphereMulti) {
        // In hex and decimal, as the user may have typed the number either way.
        const auto both = [](std::int32_t n) { return "0x" + Hex32(n) + " (" + NumberText(n) + ")"; };
        throw Error(ErrorNumber::InvalidCall, "patch slot " + both(patchSlot) + " gives multi " +
                                                  both(patchSlot - 1) +
                                                  ", which Sphere cannot use (multi numbers run from 0 to " +
                                                  both(kHighestSphereMulti) + ")");
    }
    return patchSlot - 1;
}

std::string DefinitionName(std::string_view multiName) {
    std::string name(multiName);
    for (char& c : name) {
        const bool safe =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
        if (!safe) {
            c = '_';
        }
    }
    return name;
}

std::string ComponentIdText(const ComponentTable& table, std::int32_t entry) {
    return ofComponent(entry, [&] { return Hex16(ToItemId(table.ItemId[static_cast<std::size_t>(entry)])); });
}

bool HasZeroFlags(const ComponentTable& table, std::int32_t entry) {
    return ofComponent(
        entry, [&] { return ReadNumber(table.Flags[static_cast<std::size_t>(entry)], "flags").isZero(); });
}

std::optional<std::string> ScriptValueFault(std::string_view value) {
    if (value.find_first_of("\r\n") != std::string_view::npos) {
        return "holds a line break";
    }
    const auto control = std::find_if(value.begin(), value.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) == 0x7F;
    });
    if (control == value.end()) {
        return std::nullopt;
    }
    char code[5];
    std::snprintf(code, sizeof code, "\\x%02X", static_cast<unsigned>(static_cast<unsigned char>(*control)));
    return std::string("holds the control character ") + code;
}

std::optional<std::string> PriceFault(std::string_view value) {
    if (std::optional<std::string> fault = ScriptValueFault(value)) {
        return fault;
    }
    const std::optional<Number> number = Number::parse(value);
    if (number && number->compare(0) < 0) {
        return "is a negative number";
    }
    return std::nullopt;
}

void CheckScriptValue(std::string_view value, std::string_view what) {
    if (std::optional<std::string> fault = ScriptValueFault(value)) {
        throw Error(ErrorNumber::InvalidCall, std::string(what) + " " + *fault);
    }
}

void CheckPrice(std::string_view value, std::string_view what) {
    if (std::optional<std::string> fault = PriceFault(value)) {
        throw Error(ErrorNumber::InvalidCall, std::string(what) + " " + *fault);
    }
}

std::size_t ExpectedScriptBytes(const ScriptDetails& details, const ComponentTable& table) {
    // A table left by a failed load may claim far more components than it holds; the first one missing stops
    // the script, so reserving for the claim would only risk running out of memory.
    const auto components = static_cast<std::size_t>(std::clamp(table.Count, 0, table.storedEntries()));
    const std::size_t componentBytes =
        details.componentsListCount > 0 ? components * kTypicalComponentBytes : 0;
    return kFixedScriptBytes + kNameCopies * details.multiName.size() + details.buyValue.size() +
           details.sellValue.size() + componentBytes;
}

}  // namespace keelwright
