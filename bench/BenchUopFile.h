#pragma once

// The files the UOP benchmarks write into, and the file system that counts the bytes written.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "mulfiles/ForwardingFile.h"
#include "mulfiles/NativeFileSystem.h"
#include "mulfiles/RecordLayout.h"
#include "uop/UopMultis.h"
#include "uop/UopNameHash.h"

namespace keelwright::bench {

inline constexpr std::uint32_t kCapacity = 100;

// The real file system, counting the bytes written; flushes are left out when asked, to measure the rest.
class CountingFileSystem : public NativeFileSystem {
public:
    explicit CountingFileSystem(bool flush) : flush_(flush) {}
    std::uint64_t written = 0;

    std::unique_ptr<RandomAccessFile> open(const std::filesystem::path& path, OpenMode mode) override {
        return std::make_unique<File>(NativeFileSystem::open(path, mode), *this);
    }

private:
    class File : public ForwardingFile {
    public:
        File(std::unique_ptr<RandomAccessFile> real, CountingFileSystem& owner)
            : ForwardingFile(std::move(real)), owner_(owner) {}
        void writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override {
            owner_.written += bytes.size();
            inner().writeAt(offset, bytes);
        }
        void sync() override {
            if (owner_.flush_) {
                inner().sync();
            }
        }

    private:
        CountingFileSystem& owner_;
    };
    bool flush_;
};

template <typename Int>
inline void put(std::string& out, Int value) {
    char bytes[sizeof(Int)];
    PutLittleEndian(reinterpret_cast<std::uint8_t*>(bytes), value);
    out.append(bytes, sizeof(Int));
}

// A version 4 file of `entries` multis (0 to entries - 1) whose data fill `dataBytes` after the table:
// full blocks of 100, the last with room. The data is filler; an add never reads it.
inline void WriteBenchUop(const std::filesystem::path& path, std::uint32_t entries, std::uint64_t dataBytes) {
    const std::uint32_t blocks = entries / kCapacity + 1;
    const std::uint64_t blockBytes = 12 + kCapacity * 34;
    const std::uint64_t dataStart = 40 + blocks * blockBytes;
    const std::uint64_t each = std::max<std::uint64_t>(32, dataBytes / entries);
    std::string table;
    put(table, kUopMagic);
    put(table, std::uint32_t{4});
    put(table, kUopSignature);
    put(table, std::int64_t{40});
    put(table, kCapacity);
    put(table, entries);
    table.append(12, '\0');
    for (std::uint32_t b = 0; b < blocks; ++b) {
        const std::uint32_t used = std::min(kCapacity, entries - b * kCapacity);
        put(table, static_cast<std::int32_t>(used));
        put(table, static_cast<std::int64_t>(b + 1 < blocks ? 40 + (b + 1) * blockBytes : 0));
        for (std::uint32_t i = 0; i < kCapacity; ++i) {
            const std::uint32_t multi = b * kCapacity + i;
            if (i >= used) {
                table.append(34, '\0');
                continue;
            }
            put(table, static_cast<std::int64_t>(dataStart + multi * each));
            put(table, std::int32_t{12});
            put(table, static_cast<std::int32_t>(each - 12));
            put(table, static_cast<std::int32_t>(each * 4));
            put(table, UopNameHash(MultiEntryName(static_cast<std::int32_t>(multi))));
            put(table, std::uint32_t{0});
            put(table, std::int16_t{1});
        }
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << table;
    const std::string megabyte(1 << 20, '\x07');
    const std::uint64_t total = each * entries;
    for (std::uint64_t done = 0; done < total; done += megabyte.size()) {
        out.write(megabyte.data(),
                  static_cast<std::streamsize>(std::min<std::uint64_t>(megabyte.size(), total - done)));
    }
}

}  // namespace keelwright::bench
