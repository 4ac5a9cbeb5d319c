// apply of a manifest of 1,000 multis of 300 tiles into Multi.idx, Multi.mul and MultiCollection.uop, empty
// or of 100 MB each: the time, the bytes written to the client files (the blocks, the UOP entries' data and
// table entries, 12 bytes an index entry) and the flushes, which must not grow with the number of multis.
// Against it, 1,000 separate patches of the same multis; and an unchanged second apply, which must take at
// most 1.5 times as long as loading the 1,000 scripts; and the shard window's plan of the same manifest.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "clientfiles/ManifestApply.h"
#include "model/ComponentTable.h"
#include "model/ScriptReaders.h"
#include "mulfiles/ForwardingFile.h"
#include "mulfiles/IndexRecord.h"
#include "mulfiles/NativeFileSystem.h"
#include "uop/UopWriter.h"

namespace {

using namespace keelwright;

constexpr int kMultis = 1000;
constexpr int kTiles = 300;
constexpr int kSlots = 8192;
constexpr std::uint64_t kMebibyte = 1 << 20;
constexpr std::int64_t kFileTime = 133485408000000000;

// The real file system, counting the writes and flushes of the client files.
class CountingFileSystem : public NativeFileSystem {
public:
    std::uint64_t bytes = 0;
    std::int64_t flushes = 0;

    std::unique_ptr<RandomAccessFile> open(const std::filesystem::path& path, OpenMode mode) override {
        const bool client =
            path.extension() == ".idx" || path.extension() == ".mul" || path.extension() == ".uop";
        return std::make_unique<File>(NativeFileSystem::open(path, mode), client ? this : nullptr);
    }

private:
    class File : public ForwardingFile {
    public:
        File(std::unique_ptr<RandomAccessFile> real, CountingFileSystem* owner)
            : ForwardingFile(std::move(real)), owner_(owner) {}
        void writeAt(std::uint64_t offset, std::span<const std::uint8_t> data) override {
            owner_ != nullptr ? static_cast<void>(owner_->bytes += data.size()) : static_cast<void>(0);
            inner().writeAt(offset, data);
        }
        void sync() override {
            owner_ != nullptr ? static_cast<void>(++owner_->flushes) : static_cast<void>(0);
            inner().sync();
        }

    private:
        CountingFileSystem* owner_;
    };
};

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A shard folder: 1,000 scripts, their manifest for multis 0 to 999 and client files of `padding` bytes
// each beyond what they need: an index of 8,192 free slots, a Multi.mul of filler records and an empty UOP
// table followed by bytes no entry uses. reset() puts the client files back between iterations.
class Shard {
public:
    // Multi.mul stays a whole number of 12-byte records, as Keelwright refuses any other.
    explicit Shard(std::uint64_t padding) : padding_(padding / 12 * 12) {
        std::filesystem::create_directories(folder_ / "designs");
        std::string manifest =
            "[client]\nidx = \"Multi.idx\"\nmul = \"Multi.mul\"\nuop = \"MultiCollection.uop\"\n"
            "record-size = 12\n";
        for (int m = 0; m < kMultis; ++m) {
            std::string text = "6 version\r\n1 template id\r\n-1 item version\r\n" + std::to_string(kTiles) +
                               " num components\r\n";
            for (int t = 0; t < kTiles; ++t) {
                text += std::to_string(1000 + (m + t) % 5000) + " " + std::to_string(t % 20 - 10) + " " +
                        std::to_string(t / 20 - 7) + " " + std::to_string(t % 7 * 5) + " 0\r\n";
            }
            const std::string name = "designs/m" + std::to_string(m) + ".txt";
            writeFile(folder_ / name, text);
            scripts_.push_back(folder_ / name);
            manifest += "[[multi]]\nnumber = " + std::to_string(m) + "\nscript = \"" + name +
                        "\"\nname = \"M" + std::to_string(m) + "\"\n";
        }
        writeFile(manifestPath(), manifest);
        std::string index;
        for (int s = 0; s < kSlots; ++s) {
            const RecordBytes free = IndexRecord{-1, -1, -1}.encode();
            index.append(free.begin(), free.end());
        }
        index_ = index;
        const std::vector<std::uint8_t> uop = EmptyUopContainer(4, 100);
        uopHead_.assign(uop.begin(), uop.end());
        writeFile(folder_ / "Multi.mul", std::string(padding, '\x07'));
        writeFile(folder_ / "MultiCollection.uop", uopHead_ + std::string(padding, '\0'));
        reset();
    }
    ~Shard() { std::filesystem::remove_all(folder_); }

    void reset() const {
        writeFile(folder_ / "Multi.idx", index_);
        std::filesystem::resize_file(folder_ / "Multi.mul", padding_);
        std::filesystem::resize_file(folder_ / "MultiCollection.uop", uopHead_.size() + padding_);
        std::fstream(folder_ / "MultiCollection.uop", std::ios::binary | std::ios::in | std::ios::out)
            .write(uopHead_.data(), static_cast<std::streamsize>(uopHead_.size()));
        std::filesystem::remove(LockPathOf(manifestPath()));
    }
    std::filesystem::path manifestPath() const { return folder_ / "shard.toml"; }
    const std::vector<std::filesystem::path>& scripts() const { return scripts_; }
    PatchTargets targets() const {
        return PatchTargets{ClientFiles{folder_ / "Multi.idx", folder_ / "Multi.mul"},
                            folder_ / "MultiCollection.uop"};
    }

private:
    std::filesystem::path folder_ = std::filesystem::temp_directory_path() / "keelwright-bench-apply";
    std::uint64_t padding_;
    std::string index_;
    std::string uopHead_;
    std::vector<std::filesystem::path> scripts_;
};

ApplyResult apply(FileSystem& fileSystem, const Shard& shard) {
    ApplyOptions options;
    options.fileTime = kFileTime;
    return ApplyManifest(fileSystem, shard.manifestPath(), ReadManifest(shard.manifestPath()), {}, options);
}

void report(benchmark::State& state, const CountingFileSystem& fileSystem, int runs) {
    state.counters["bytesWritten"] = static_cast<double>(fileSystem.bytes) / runs;
    state.counters["flushes"] = static_cast<double>(fileSystem.flushes) / runs;
}

// Argument: the padding of each client file in MiB.
void BM_Apply(benchmark::State& state) {
    const Shard shard(static_cast<std::uint64_t>(state.range(0)) * kMebibyte);
    CountingFileSystem fileSystem;
    int runs = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(apply(fileSystem, shard).added);
        ++runs;
        state.PauseTiming();
        shard.reset();
        state.ResumeTiming();
    }
    report(state, fileSystem, runs);
}

void BM_SeparatePatches(benchmark::State& state) {
    const Shard shard(static_cast<std::uint64_t>(state.range(0)) * kMebibyte);
    std::vector<ComponentTable> tables(kMultis);
    for (int m = 0; m < kMultis; ++m) {
        LoadMulti(shard.scripts()[static_cast<std::size_t>(m)], ScriptType::MultiTxt,
                  tables[static_cast<std::size_t>(m)], {});
    }
    CountingFileSystem fileSystem;
    int runs = 0;
    for (auto _ : state) {
        for (const ComponentTable& table : tables) {
            benchmark::DoNotOptimize(PatchEveryFile(fileSystem, table, shard.targets(), kFileTime).multi);
        }
        ++runs;
        state.PauseTiming();
        shard.reset();
        state.ResumeTiming();
    }
    report(state, fileSystem, runs);
}

void BM_UnchangedApply(benchmark::State& state) {
    const Shard shard(static_cast<std::uint64_t>(state.range(0)) * kMebibyte);
    CountingFileSystem fileSystem;
    apply(fileSystem, shard);
    fileSystem.bytes = 0;
    fileSystem.flushes = 0;
    int runs = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(apply(fileSystem, shard).unchanged);
        ++runs;
    }
    report(state, fileSystem, runs);
}

// The plan the shard window shows: a dry run that refuses failing entries instead of stopping, against files
// that hold every multi; beside BM_LoadScripts it shows what the plan costs over loading the designs.
void BM_WindowPlan(benchmark::State& state) {
    const Shard shard(static_cast<std::uint64_t>(state.range(0)) * kMebibyte);
    CountingFileSystem fileSystem;
    apply(fileSystem, shard);
    ApplyOptions options;
    options.dryRun = true;
    options.refuseFailingEntries = true;
    options.fileTime = kFileTime;
    for (auto _ : state) {
        const Manifest manifest = ReadManifest(shard.manifestPath());
        benchmark::DoNotOptimize(
            ApplyManifest(fileSystem, shard.manifestPath(), manifest, {}, options).unchanged);
    }
}

void BM_LoadScripts(benchmark::State& state) {
    const Shard shard(0);
    for (auto _ : state) {
        for (const std::filesystem::path& script : shard.scripts()) {
            ComponentTable table;
            LoadMulti(script, ScriptType::MultiTxt, table, {});
            benchmark::DoNotOptimize(table.Count);
        }
    }
}

BENCHMARK(BM_Apply)->Arg(0)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SeparatePatches)->Arg(0)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_UnchangedApply)->Arg(0)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WindowPlan)->Arg(0)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadScripts)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
