// The cost the locks add to a command: taking and releasing them on the three client files, exclusively
// as a patch does and shared as a listing does, with no other program holding them. Expected: some
// microseconds (an open, a lock and a close per file), nothing beside a patch's flushes.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "clientfiles/ClientFileLocks.h"
#include "mulfiles/NativeFileSystem.h"

namespace {

using namespace keelwright;

void BM_ClientFileLocks(benchmark::State& state) {
    const LockKind kind = state.range(0) == 0 ? LockKind::Shared : LockKind::Exclusive;
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "keelwright-lock-bench";
    std::filesystem::create_directories(dir);
    const std::filesystem::path client = std::filesystem::path(KEELWRIGHT_EXAMPLES) / "client";
    for (const char* name : {"Multi.idx", "Multi.mul", "MultiCollection.uop"}) {
        std::filesystem::copy_file(client / name, dir / name,
                                   std::filesystem::copy_options::overwrite_existing);
    }
    NativeFileSystem fileSystem;
    const ClientFiles files{dir / "Multi.idx", dir / "Multi.mul"};
    for (auto _ : state) {
        const ClientFileLocks locks(fileSystem, files, dir / "MultiCollection.uop", kind);
        benchmark::DoNotOptimize(&locks);
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ClientFileLocks)->Arg(0)->Arg(1)->ArgName("exclusive")->Unit(benchmark::kMicrosecond);

}  // namespace
