#pragma once

#include <cstdint>
#include <string>

#include "model/ComponentTable.h"

namespace keelwright::bench {

// A loaded multi of n components spread over a 300 x 300 square around its centre, one in ten flagged 0
// (a listed component), with the bounds the readers would have found.
inline ComponentTable GeneratedMulti(std::int64_t n) {
    ComponentTable table;
    for (std::int64_t i = 0; i < n; ++i) {
        table.ItemId.push_back(std::to_string(1000 + i % 5000));
        table.X.push_back(std::to_string(i % 300 - 150));
        table.Y.push_back(std::to_string(i / 300 % 300 - 150));
        table.Z.push_back(std::to_string(i % 7 * 5));
        table.Flags.push_back(i % 10 == 0 ? "0" : "1");
    }
    table.Count = static_cast<std::int32_t>(n);
    table.MinX = table.MinY = -150;
    table.MaxX = table.MaxY = 149;
    return table;
}

}  // namespace keelwright::bench
