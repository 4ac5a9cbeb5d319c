#include "mulfiles/ClientFileBytes.h"

#include <cstdio>

namespace keelwright::test {

std::string IndexBytes(const std::vector<IndexRecord>& records) {
    std::string bytes;
    for (const IndexRecord& record : records) {
        const RecordBytes encoded = record.encode();
        bytes.append(encoded.begin(), encoded.end());
    }
    return bytes;
}

std::string DataBytes(const std::vector<ComponentRecord>& records) {
    std::string bytes;
    for (const ComponentRecord& record : records) {
        const RecordBytes encoded = record.encode();
        bytes.append(encoded.begin(), encoded.end());
    }
    return bytes;
}

std::string FillerRecords(std::int64_t count) {
    std::vector<ComponentRecord> records;
    for (std::int64_t i = 0; i < count; ++i) {
        records.push_back(ComponentRecord{static_cast<std::uint16_t>(100 + i % 3000),
                                          static_cast<std::int16_t>(i % 7),
                                          static_cast<std::int16_t>(-(i % 5)),
                                          static_cast<std::int16_t>(i % 20), static_cast<std::int32_t>(i)});
    }
    return DataBytes(records);
}

std::string HexBytes(std::string_view bytes) {
    std::string text;
    for (const char c : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned char>(c));
        if (!text.empty()) {
            text += ' ';
        }
        text += digits;
    }
    return text;
}

IndexRecord Used(std::int32_t offset, std::int32_t length) {
    return IndexRecord{offset, length, 0};
}

IndexRecord Free() {
    return IndexRecord{-1, -1, -1};
}

}  // namespace keelwright::test
