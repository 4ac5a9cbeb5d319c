#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "TestTables.h"
#include "mulfiles/ComponentRecord.h"
#include "mulfiles/IndexRecord.h"

namespace keelwright::test {

// The bytes of a Multi.idx holding these records in slot order.
std::string IndexBytes(const std::vector<IndexRecord>& records);
// The bytes of a Multi.mul holding these records in order, in 12-byte records or in records of `size`.
std::string DataBytes(const std::vector<ComponentRecord>& records);
std::string DataBytes(const std::vector<ComponentRecord>& records, RecordSize size);
// `count` distinct data records, so that a moved or overwritten record shows; 16-byte ones have distinct
// Extra values too.
std::string FillerRecords(std::int64_t count);
std::string FillerRecords(std::int64_t count, RecordSize size);
// Bytes written as two-digit hex, for comparing with a row of a table ("01 40 FD FF").
std::string HexBytes(std::string_view bytes);

// A used slot, a free slot.
IndexRecord Used(std::int32_t offset, std::int32_t length);
IndexRecord Free();

}  // namespace keelwright::test
