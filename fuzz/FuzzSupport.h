#pragma once

// What the fuzz harnesses share: the input as text, a fixed components list, and a check that stops the run
// (libFuzzer then reports the input) when a property fails.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "model/ComponentTable.h"
#include "model/ComponentsList.h"
#include "model/ScriptReaders.h"

namespace keelwright::fuzz {

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The wooden doors and a sign, so that marking converts item ids and sets Flags.
inline const ComponentsList& DoorsAndSigns() {
    static const ComponentsList list({"06A5", "06A6", "0BD2", "0BCF", "026E"});
    return list;
}

// A three-tile multi with a door, loaded once: what the harnesses patch into the files they are given.
inline const ComponentTable& SmallHouse() {
    static const ComponentTable table = [] {
        ComponentTable t;
        ReadMultiTxt(
            "6 version\n1 template id\n-1 item version\n3 num components\n"
            "1701 0 0 0\n1702 1 0 0\n0x06A5 0 1 0\n",
            "house.txt", t, DoorsAndSigns());
        return t;
    }();
    return table;
}

// Stops the run when a property the harness checks does not hold.
inline void Require(bool holds, const char* property) {
    if (!holds) {
        std::fprintf(stderr, "property failed: %s\n", property);
        std::abort();
    }
}

}  // namespace keelwright::fuzz
