// Replacing a multi of 10 tiles at its number against adding it at the first free one, into a 100 MB
// Multi.mul (12-byte records) and into a UOP of 8,050 entries over 100 MB of data. A replacement appends the
// same block or entry as an add and rewrites one index entry, or clears one table entry, so it must cost
// within 1.1 times an add; the `written` counter gives the bytes written by each.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "BenchUopFile.h"
#include "GeneratedMulti.h"
#include "clientfiles/EveryFilePatch.h"
#include "mulfiles/IndexRecord.h"
#include "mulfiles/Patcher.h"

namespace {

using namespace keelwright;

constexpr std::int64_t kFileTime = 133485408000000000;
constexpr int kSlots = 8192;
constexpr int kUsedSlots = 8000;
constexpr std::uint64_t kDataBytes = 100ULL << 20;

// A Multi.idx of 8,000 used slots over a 100 MB Multi.mul of 12-byte records, the rest free.
void writeMulFiles(const ClientFiles& files) {
    std::string index;
    const std::uint64_t each = kDataBytes / kUsedSlots / 12 * 12;
    for (int slot = 0; slot < kSlots; ++slot) {
        const IndexRecord record = slot < kUsedSlots ? IndexRecord{static_cast<std::int32_t>(slot * each),
                                                                   static_cast<std::int32_t>(each), -1}
                                                     : IndexRecord::free();
        const RecordBytes bytes = record.encode();
        index.append(bytes.begin(), bytes.end());
    }
    std::ofstream(files.multiIdx, std::ios::binary | std::ios::trunc) << index;
    std::ofstream data(files.multiMul, std::ios::binary | std::ios::trunc);
    std::string block(each, '\0');
    block[0] = 1;  // the lead record; the rest is item 0 at 0,0,0, which a patch never reads
    for (int slot = 0; slot < kUsedSlots; ++slot) {
        data << block;
    }
}

// Arguments: 0 Multi.idx and Multi.mul, 1 the UOP; 0 an add, 1 a replacement of multi 5.
void BM_ReplaceAgainstAdd(benchmark::State& state) {
    const bool uop = state.range(0) == 1;
    const bool replace = state.range(1) == 1;
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "keelwright-bench-replace";
    std::filesystem::create_directories(folder);
    PatchTargets targets;
    if (uop) {
        targets.uop = folder / "MultiCollection.uop";
        bench::WriteBenchUop(*targets.uop, 8050, kDataBytes);
    } else {
        targets.mul = ClientFiles{folder / "Multi.idx", folder / "Multi.mul"};
        writeMulFiles(*targets.mul);
    }
    const ComponentTable table = bench::GeneratedMulti(10);
    PatchOptions options;
    if (replace) {
        options.multi = 5;
        options.replace = true;
    }
    bench::CountingFileSystem fileSystem(true);
    for (auto _ : state) {
        fileSystem.written = 0;
        const EveryFilePatchResult result = PatchEveryFile(fileSystem, table, targets, kFileTime, options);
        state.PauseTiming();
        state.counters["written"] = static_cast<double>(fileSystem.written);
        if (uop) {
            RestoreUopFile(fileSystem, *targets.uop, result.uop->added.undo);
        } else {
            const IndexRecord now{result.mul->offset, result.mul->length, -1};
            RewriteIndexEntry(fileSystem, targets.mul->multiIdx, result.mul->slot, now,
                              replace ? result.replaced.indexEntry : IndexRecord::free());
            NativeFileSystem()
                .open(targets.mul->multiMul, OpenMode::ReadWrite)
                ->truncate(static_cast<std::uint64_t>(result.mul->offset));
        }
        state.ResumeTiming();
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ReplaceAgainstAdd)
    ->ArgNames({"uop", "replace"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

}  // namespace
