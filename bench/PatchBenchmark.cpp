// Patching a multi into the client files. The cost must follow the index and the new block, not the size
// of Multi.mul: 10 components cost the same on an empty and on a 100 MB Multi.mul. A large multi must be
// written at 100 MB/s of records or faster, flushes to disk included; the figures without flushes show
// how much of that the disk's fsync takes.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "GeneratedMulti.h"
#include "model/ComponentTable.h"
#include "mulfiles/IndexRecord.h"
#include "mulfiles/NativeFileSystem.h"
#include "mulfiles/Patcher.h"

namespace {

using namespace keelwright;

constexpr int kUsedSlots = 8000;  // about as many multis as a client's index holds

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

// An index of kUsedSlots used slots and one free one after them.
std::string indexBytes() {
    std::string bytes;
    for (int slot = 0; slot <= kUsedSlots; ++slot) {
        const IndexRecord record = slot < kUsedSlots ? IndexRecord{0, 12, -1} : IndexRecord{-1, -1, -1};
        const RecordBytes encoded = record.encode();
        bytes.append(encoded.begin(), encoded.end());
    }
    return bytes;
}

// Client files in a temporary folder on disk, put back to their first state between iterations.
class BenchFiles {
public:
    explicit BenchFiles(std::uint64_t dataBytes) : dataBytes_(dataBytes) {
        std::filesystem::create_directories(folder_);
        std::ofstream data(files_.multiMul, std::ios::binary | std::ios::trunc);
        const std::string megabyte(1 << 20, '\x07');
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
    std::string index_ = indexBytes();
    std::uint64_t dataBytes_;
};

void runPatch(benchmark::State& state, FileSystem& fileSystem) {
    const std::int64_t components = state.range(0);
    BenchFiles files(static_cast<std::uint64_t>(state.range(1)) << 20);
    const ComponentTable table = bench::GeneratedMulti(components);
    for (auto _ : state) {
        const PatchResult result = PatchMulti(fileSystem, table, files.files());
        benchmark::DoNotOptimize(result.slot);
        state.PauseTiming();
        files.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * (components + 1) * 12);
}

void BM_Patch(benchmark::State& state) {
    NativeFileSystem fileSystem;
    runPatch(state, fileSystem);
}

void BM_PatchWithoutFsync(benchmark::State& state) {
    NoSyncFileSystem fileSystem;
    runPatch(state, fileSystem);
}

// Arguments: components, size of Multi.mul in MiB.
void patchCases(benchmark::internal::Benchmark* cases) {
    cases->Args({10, 0})->Args({10, 100})->Args({100'000, 0})->Args({100'000, 100});
    cases->Unit(benchmark::kMillisecond)->UseRealTime();
}
BENCHMARK(BM_Patch)->Apply(patchCases);
BENCHMARK(BM_PatchWithoutFsync)->Apply(patchCases);

}  // namespace
