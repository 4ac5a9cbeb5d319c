// Patching a multi into the client files. The cost must follow the index and the new block, not the size
// of Multi.mul: 10 components cost the same on an empty and on a 100 MB Multi.mul, in 12-byte records and
// in 16-byte records, whose size is decided from the files (the contents check included). A large multi
// must be written at 100 MB/s of records or faster, flushes to disk included; the figures without flushes
// show how much of that the disk's fsync takes.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "GeneratedMulti.h"
#include "model/ComponentTable.h"
#include "mulfiles/ComponentRecord.h"
#include "mulfiles/IndexRecord.h"
#include "mulfiles/NativeFileSystem.h"
#include "mulfiles/Patcher.h"

namespace {

using namespace keelwright;

constexpr int kUsedSlots = 8000;  // about as many multis as a client's index holds
constexpr int kSlotsOfSixteenByteIndex = 8192;
constexpr std::uint64_t kMebibyte = 1 << 20;

// The real file system with flushes left out, to measure the rest of a patch.
class NoSyncFileSystem : public NativeFileSystem {
public:
    std::unique_ptr<RandomAccessFile> open(const std::filesystem::path& path, OpenMode mode) override {
        return std::make_unique<NoSyncFile>(NativeFileSystem::open(path, mode));
    }

private:
    class NoSyncFile : public RandomAccessFile {
    public:
        explicit NoSyncFile(std::unique_ptr<RandomAccessFile> real) : real_(std::move(real)) {}
        const std::string& name() const override { return real_->name(); }
        std::uint64_t size() override { return real_->size(); }
        std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> into) override {
            return real_->readAt(offset, into);
        }
        void writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override {
            real_->writeAt(offset, bytes);
        }
        void truncate(std::uint64_t size) override { real_->truncate(size); }
        void sync() override {}

    private:
        std::unique_ptr<RandomAccessFile> real_;
    };
};

std::string bytesOf(const std::vector<IndexRecord>& records) {
    std::string bytes;
    for (const IndexRecord& record : records) {
        const RecordBytes encoded = record.encode();
        bytes.append(encoded.begin(), encoded.end());
    }
    return bytes;
}

// An index of kUsedSlots used slots and one free one after them.
std::string indexBytes() {
    std::vector<IndexRecord> records(kUsedSlots, IndexRecord{0, 12, -1});
    records.push_back(IndexRecord{-1, -1, -1});
    return bytesOf(records);
}

// An index of 8,192 slots, the last one free, whose blocks split `dataBytes` of Multi.mul in equal parts of
// a multiple of 48 bytes: every Length fits both record sizes, so the contents check decides the size.
std::string sixteenByteIndexBytes(std::uint64_t dataBytes) {
    const auto used = static_cast<std::int32_t>(kSlotsOfSixteenByteIndex - 1);
    const auto length = static_cast<std::int32_t>(dataBytes / static_cast<std::uint64_t>(used) / 48 * 48);
    std::vector<IndexRecord> records;
    for (std::int32_t slot = 0; slot < used; ++slot) {
        records.push_back(IndexRecord{slot * length, length, -1});
    }
    records.push_back(IndexRecord{-1, -1, -1});
    return bytesOf(records);
}

// A 16-byte tile record as shipped files hold them, Flags and Extra 0 or 1.
std::string sixteenByteTile() {
    std::string bytes(16, '\0');
    ComponentRecord{1200, 1, 2, 3, 1, 0}.encodeInto(
        std::span(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size()), RecordSize::Sixteen);
    return bytes;
}

// Client files in a temporary folder on disk, put back to their first state between iterations. Multi.mul
// is `dataBytes` bytes of `unit` repeated.
class BenchFiles {
public:
    // Multi.mul stays a whole number of `recordBytes` records, as Keelwright refuses any other.
    BenchFiles(std::uint64_t dataBytes, std::string index, const std::string& unit, std::uint64_t recordBytes)
        : index_(std::move(index)), dataBytes_(dataBytes / recordBytes * recordBytes) {
        std::filesystem::create_directories(folder_);
        std::ofstream data(files_.multiMul, std::ios::binary | std::ios::trunc);
        std::string megabyte;
        while (megabyte.size() < kMebibyte) {
            megabyte += unit;
        }
        for (std::uint64_t written = 0; written < dataBytes; written += megabyte.size()) {
            data.write(megabyte.data(), static_cast<std::streamsize>(
                                            std::min<std::uint64_t>(megabyte.size(), dataBytes - written)));
        }
        data.close();
        NativeFileSystem()
            .open(files_.multiMul, OpenMode::ReadWrite)
            ->sync();  // no earlier writes in the timings
        reset();
    }
    ~BenchFiles() { std::filesystem::remove_all(folder_); }

    void reset() {
        std::ofstream(files_.multiIdx, std::ios::binary | std::ios::trunc) << index_;
        std::filesystem::resize_file(files_.multiMul, dataBytes_);
    }
    const ClientFiles& files() const { return files_; }

private:
    std::filesystem::path folder_ = std::filesystem::temp_directory_path() / "keelwright-bench-patch";
    ClientFiles files_{folder_ / "Multi.idx", folder_ / "Multi.mul"};
    std::string index_;
    std::uint64_t dataBytes_;
};

void runPatch(benchmark::State& state, FileSystem& fileSystem, BenchFiles& files) {
    const std::int64_t components = state.range(0);
    const ComponentTable table = bench::GeneratedMulti(components);
    std::int64_t recordBytes = 0;
    for (auto _ : state) {
        const PatchResult result = PatchMulti(fileSystem, table, files.files());
        benchmark::DoNotOptimize(result.slot);
        recordBytes = static_cast<std::int64_t>(BytesOf(result.recordSize.size));
        state.PauseTiming();
        files.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * (components + 1) * recordBytes);
    state.counters["recordSize"] = static_cast<double>(recordBytes);
}

BenchFiles classicFiles(const benchmark::State& state) {
    return BenchFiles(static_cast<std::uint64_t>(state.range(1)) * kMebibyte, indexBytes(), "\x07", 12);
}

BenchFiles sixteenByteFiles(const benchmark::State& state) {
    const std::uint64_t dataBytes = static_cast<std::uint64_t>(state.range(1)) * kMebibyte;
    return BenchFiles(dataBytes, sixteenByteIndexBytes(dataBytes), sixteenByteTile(), 16);
}

void BM_Patch(benchmark::State& state) {
    NativeFileSystem fileSystem;
    BenchFiles files = classicFiles(state);
    runPatch(state, fileSystem, files);
}

void BM_PatchWithoutFsync(benchmark::State& state) {
    NoSyncFileSystem fileSystem;
    BenchFiles files = classicFiles(state);
    runPatch(state, fileSystem, files);
}

void BM_PatchSixteenByteRecords(benchmark::State& state) {
    NativeFileSystem fileSystem;
    BenchFiles files = sixteenByteFiles(state);
    runPatch(state, fileSystem, files);
}

void BM_PatchSixteenByteRecordsWithoutFsync(benchmark::State& state) {
    NoSyncFileSystem fileSystem;
    BenchFiles files = sixteenByteFiles(state);
    runPatch(state, fileSystem, files);
}

// Arguments: components, size of Multi.mul in MiB (a Multi.mul must hold the blocks its index names).
void patchCases(benchmark::internal::Benchmark* cases) {
    cases->Args({10, 1})->Args({10, 100})->Args({100'000, 1})->Args({100'000, 100});
    cases->Unit(benchmark::kMillisecond)->UseRealTime();
}
BENCHMARK(BM_Patch)->Apply(patchCases);
BENCHMARK(BM_PatchWithoutFsync)->Apply(patchCases);

// Arguments: components, size of Multi.mul in MiB.
void sixteenByteCases(benchmark::internal::Benchmark* cases) {
    cases->Args({10, 1})->Args({10, 100})->Unit(benchmark::kMillisecond)->UseRealTime();
}
BENCHMARK(BM_PatchSixteenByteRecords)->Apply(sixteenByteCases);
BENCHMARK(BM_PatchSixteenByteRecordsWithoutFsync)->Apply(sixteenByteCases);

}  // namespace
