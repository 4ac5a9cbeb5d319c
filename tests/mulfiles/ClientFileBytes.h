#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/ComponentTable.h"
#include "mulfiles/ComponentRecord.h"
#include "mulfiles/IndexRecord.h"

namespace keelwright::test {

// The bytes of a Multi.idx holding these records in slot order.
std::string IndexBytes(const std::vector<IndexRecord>& records);
// The bytes of a Multi.mul holding these records in order.
std::string DataBytes(const std::vector<ComponentRecord>& records);
// `count` distinct data records, so that a moved or overwritten record shows.
std::string FillerRecords(std::int64_t count);
// Bytes written as two-digit hex, for comparing with a row of a table ("01 40 FD FF").
std::string HexBytes(std::string_view bytes);

// A used slot, a free slot.
IndexRecord Used(std::int32_t offset, std::int32_t length);
IndexRecord Free();

// A loaded multi as the readers leave it: rows of item id, x, y, z and flags texts.
struct Row {
    std::string itemId, x, y, z, flags;
};
ComponentTable TableOf(const std::vector<Row>& rows);
// n components with distinct, valid values.
ComponentTable GeneratedTable(std::int32_t n);

}  // namespace keelwright::test
