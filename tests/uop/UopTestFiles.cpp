#include "uop/UopTestFiles.h"

#include <zlib.h>

#include <algorithm>
#include <set>
#include <stdexcept>

#include "uop/UopMultis.h"
#include "uop/UopNameHash.h"

namespace keelwright::test {

std::vector<FactEntry> HousingAndMultis(int multis) {
    std::vector<FactEntry> all = {{std::string(kHousingBinName), std::string(300, 'h')}};
    for (int m = 0; m < multis; ++m) {
        all.push_back({MultiEntryName(m), "payload of multi " + std::to_string(m)});
    }
    return all;
}

void PutLe(std::string& out, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

std::uint64_t GetLe(std::string_view bytes, std::size_t at, int size) {
    if (at + static_cast<std::size_t>(size) > bytes.size()) {
        throw std::runtime_error("read past the end at byte " + std::to_string(at));
    }
    std::uint64_t value = 0;
    for (int i = size; i-- > 0;) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    }
    return value;
}

std::string WithLe(std::string bytes, std::size_t at, std::uint64_t value, int size) {
    std::string field;
    PutLe(field, value, size);
    bytes.replace(at, field.size(), field);
    return bytes;
}

std::string Deflated(std::string_view bytes) {
    uLongf length = compressBound(static_cast<uLong>(bytes.size()));
    std::string stream(length, '\0');
    if (compress(reinterpret_cast<Bytef*>(stream.data()), &length,
                 reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uLong>(bytes.size())) != Z_OK) {
        throw std::runtime_error("zlib cannot compress");
    }
    stream.resize(length);
    return stream;
}

std::string FactUopBytes(std::uint32_t version, std::uint32_t capacity,
                         const std::vector<FactEntry>& entries) {
    const std::size_t blocks = std::max<std::size_t>(1, (entries.size() + capacity - 1) / capacity);
    const std::size_t blockBytes = 12 + std::size_t{capacity} * 34;
    std::string file;
    PutLe(file, 0x0050594D, 4);
    PutLe(file, version, 4);
    PutLe(file, 0xFD23EC43, 4);
    PutLe(file, 40, 8);
    PutLe(file, capacity, 4);
    PutLe(file, entries.size(), 4);
    file.append(12, '\0');

    std::string data;
    std::size_t dataAt = 40 + blocks * blockBytes;
    for (std::size_t block = 0; block < blocks; ++block) {
        const std::size_t first = block * capacity;
        const std::size_t count =
            std::min<std::size_t>(capacity, entries.size() - std::min(first, entries.size()));
        PutLe(file, count, 4);
        PutLe(file, block + 1 < blocks ? 40 + (block + 1) * blockBytes : 0, 8);
        for (std::size_t i = first; i < first + count; ++i) {
            const FactEntry& e = entries[i];
            const std::string stored = e.compressed ? Deflated(e.payload) : e.payload;
            std::string head;
            PutLe(head, 3, 2);
            PutLe(head, 8, 2);
            PutLe(head, 133485408000000000, 8);  // 2024-01-01
            PutLe(file, dataAt, 8);
            PutLe(file, head.size(), 4);
            PutLe(file, stored.size(), 4);
            PutLe(file, e.payload.size(), 4);
            PutLe(file, UopNameHash(e.name), 8);
            PutLe(file, adler32(1, reinterpret_cast<const Bytef*>(head.data()), 12), 4);
            PutLe(file, e.compressed ? 1 : 0, 2);
            data += head + stored;
            dataAt += head.size() + stored.size();
        }
        file.append((capacity - count) * 34, '\0');
    }
    return file + data;
}

std::map<std::uint64_t, std::string> ClientReads(std::string_view file, bool honourUsedCount) {
    if (GetLe(file, 0, 4) != 0x0050594D) {
        throw std::runtime_error("bad magic");
    }
    const std::uint64_t capacity = GetLe(file, 20, 4);
    std::map<std::uint64_t, std::string> payloads;
    std::set<std::uint64_t> seen;
    for (std::uint64_t block = GetLe(file, 12, 8); block != 0; block = GetLe(file, block + 4, 8)) {
        if (!seen.insert(block).second) {
            throw std::runtime_error("the chain loops");
        }
        const std::uint64_t count = honourUsedCount ? GetLe(file, block, 4) : capacity;
        for (std::uint64_t i = 0; i < count; ++i) {
            const std::size_t at = block + 12 + i * 34;
            const std::uint64_t offset = GetLe(file, at, 8);
            if (offset == 0) {
                continue;
            }
            const std::uint64_t start = offset + GetLe(file, at + 8, 4);
            const std::uint64_t stored = GetLe(file, at + 12, 4);
            uLongf length = GetLe(file, at + 16, 4);
            if (start + stored > file.size()) {
                throw std::runtime_error("an entry reaches past the end");
            }
            std::string payload(file.substr(start, stored));
            if (GetLe(file, at + 32, 2) == 1) {
                std::string out(length, '\0');
                if (uncompress(reinterpret_cast<Bytef*>(out.data()), &length,
                               reinterpret_cast<const Bytef*>(payload.data()), stored) != Z_OK ||
                    length != out.size()) {
                    throw std::runtime_error("a payload does not decompress");
                }
                payload = out;
            }
            payloads[GetLe(file, at + 20, 8)] = payload;
        }
    }
    return payloads;
}

}  // namespace keelwright::test
