#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/ComponentTable.h"

namespace keelwright::test {

// A loaded multi as the readers leave it: rows of item id, x, y, z and flags texts.
struct Row {
    std::string itemId, x, y, z, flags;
};
ComponentTable TableOf(const std::vector<Row>& rows);
// n components with distinct, valid values.
ComponentTable GeneratedTable(std::int32_t n);

}  // namespace keelwright::test
