#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace keelwright::test {

// Builds a Designs.idx and its Designs.bin byte by byte, apart from any writer.
struct Library {
    struct Record {
        int version;
        std::int64_t id, x, y, z, hue;
    };
    std::string idx;
    std::string bin;
    int designs = 0;

    static void put(std::string& out, std::int64_t v, int bytes) {
        for (int s = 0; s < 8 * bytes; s += 8) {
            out += static_cast<char>(v >> s & 0xFF);
        }
    }
    void str(const std::string* s) {  // nullptr: no string
        if (s == nullptr) {
            idx += '\0';
            return;
        }
        idx += '\x05';  // any value but 0 says a string follows
        for (std::size_t n = s->size();; n >>= 7) {
            idx += static_cast<char>((n & 0x7F) | (n > 0x7F ? 0x80 : 0));
            if (n <= 0x7F) {
                break;
            }
        }
        idx += *s;
    }
    Library& design(const std::string* name, const std::string* category, std::vector<Record> records) {
        ++designs;
        str(name);
        str(category);
        const std::string unassigned = "Unassigned";
        str(&unassigned);
        for (int size = 0; size < 4; ++size) {
            put(idx, 99, 4);  // stale sizes: the tiles are the truth
        }
        put(idx, static_cast<std::int64_t>(bin.size()), 8);
        put(idx, static_cast<std::int64_t>(records.size()), 4);
        for (const Record& r : records) {
            for (const std::int64_t v : {std::int64_t{r.version}, r.id, r.x, r.y, r.z, std::int64_t{1}}) {
                put(bin, v, 4);
            }
            if (r.version == 1) {
                put(bin, r.hue, 4);
            }
        }
        return *this;
    }
    std::string index() const {
        std::string head;
        put(head, designs, 4);
        put(head, 0, 4);
        return head + idx;
    }
};

}  // namespace keelwright::test
