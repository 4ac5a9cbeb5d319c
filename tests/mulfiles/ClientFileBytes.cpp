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
    return DataBytes(records, RecordSize::Twelve);
}

std::string DataBytes(const std::vector<ComponentRecord>& records, RecordSize size) {
    std::string bytes(records.size() * BytesOf(size), '\0');
    const std::span<std::uint8_t> out(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        records[i].encodeInto(out.subspan(i * BytesOf(size)), size);
    }
    return bytes;
}

std::string FillerRecords(std::int64_t count) {
    return FillerRecords(count, RecordSize::Twelve);
}

std::string FillerRecords(std::int64_t count, RecordSize size) {
    std::vector<ComponentRecord> records;
    for (std::int64_t i = 0; i < count; ++i) {
        records.push_back(
            ComponentRecord{static_cast<std::uint16_t>(100 + i % 3000), static_cast<std::int16_t>(i % 7),
                            static_cast<std::int16_t>(-(i % 5)), static_cast<std::int16_t>(i % 20),
                            static_cast<std::int32_t>(i),
                            static_cast<std::int32_t>(size == RecordSize::Sixteen ? 1000 + i : 0)});
    }
    return DataBytes(records, size);
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
