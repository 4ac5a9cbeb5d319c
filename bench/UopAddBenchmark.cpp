// Adding a multi to MultiCollection.uop. The cost must follow the table and the new entry, not the size
// of the file: 10 components cost the same in a 100 MB file as in a small one with the same table, and
// the add writes fewer than (entry data + 200) bytes. The counters give the bytes written per add
// (`written`), the entry's data (per-entry header and zlib stream, `data`) and what the table took
// beyond it (`overhead`).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "BenchUopFile.h"
#include "mulfiles/NativeFileSystem.h"
#include "mulfiles/RecordLayout.h"
#include "uop/UopMultis.h"
#include "uop/UopNameHash.h"

namespace {

using namespace keelwright;
using bench::CountingFileSystem;
using bench::WriteBenchUop;

constexpr std::int64_t kFileTime = 133485408000000000;

// The lead record and n tiles of a multi.
std::vector<UopTile> tiles(int n) {
    std::vector<UopTile> all = {UopTile::lead()};
    for (int i = 0; i < n; ++i) {
        all.push_back({static_cast<std::uint16_t>(1000 + i),
                       static_cast<std::int16_t>(i % 5 - 2),
                       static_cast<std::int16_t>(i / 5 - 1),
                       0,
                       static_cast<std::uint16_t>(i % 4 == 0),
                       {}});
    }
    return all;
}

void runAdd(benchmark::State& state, bool flush) {
    const auto entries = static_cast<std::uint32_t>(state.range(0));
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "keelwright-bench-uop";
    std::filesystem::create_directories(folder);
    const std::filesystem::path path = folder / "MultiCollection.uop";
    WriteBenchUop(path, entries, static_cast<std::uint64_t>(state.range(1)) << 20);
    NativeFileSystem().open(path, OpenMode::ReadWrite)->sync();  // no earlier writes in the timings
    const std::vector<UopTile> multi = tiles(10);
    CountingFileSystem fileSystem(flush);
    std::uint64_t data = 0;
    for (auto _ : state) {
        fileSystem.written = 0;
        const UopMultiAdded added = AddMultiToUop(fileSystem, path, multi, kFileTime);
        state.PauseTiming();
        data = 12 + static_cast<std::uint64_t>(added.storedLength);
        state.counters["written"] = static_cast<double>(fileSystem.written);
        RestoreUopFile(fileSystem, path, added.added.undo);
        state.ResumeTiming();
    }
    state.counters["data"] = static_cast<double>(data);
    state.counters["overhead"] = state.counters["written"] - static_cast<double>(data);
    std::filesystem::remove_all(folder);
}

void BM_UopAdd(benchmark::State& state) {
    runAdd(state, true);
}

void BM_UopAddWithoutFsync(benchmark::State& state) {
    runAdd(state, false);
}

// Arguments: entries in the table, MiB of entry data.
void addCases(benchmark::internal::Benchmark* cases) {
    cases->Args({8050, 1})->Args({8050, 100})->Args({50, 0});
    cases->Unit(benchmark::kMicrosecond)->UseRealTime();
}
BENCHMARK(BM_UopAdd)->Apply(addCases);
BENCHMARK(BM_UopAddWithoutFsync)->Apply(addCases);

}  // namespace
