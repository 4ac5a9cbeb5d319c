// Loading a multi (read, centre, mark) from generated scripts of 10,000 and 1,000,000 components, with
// components lists of 0, 50 and 5,000 entries: the cost must grow with the components, not with the list.
#include <benchmark/benchmark.h>

#include <map>
#include <filesystem>
#include <fstream>
#include <string>

#include "model/ComponentsList.h"
#include "model/ComponentTable.h"
#include "model/NumberText.h"
#include "model/ScriptReaders.h"

namespace {

using namespace keelwright;

// A square-ish multi of n tiles with ids from 1000 up and some negative offsets.
std::string multiText(std::int64_t n) {
    std::string text = "6 version\r\n1 template id\r\n-1 item version\r\n" + std::to_string(n) + " num components\r\n";
    for (std::int64_t i = 0; i < n; ++i) {
        text += std::to_string(1000 + i % 5000) + " " + std::to_string(i % 300 - 150) + " " +
                std::to_string(i / 300 % 300 - 150) + " " + std::to_string(i % 7 * 5) + " 0\r\n";
    }
    return text;
}

std::string wscExport(std::int64_t n) {
    std::string text = "SECTION WORLDITEM 0\r\n{\r\nSERIAL 1073741824\r\nNAME tile\r\n";
    for (std::int64_t i = 0; i < n; ++i) {
        text += "ID " + std::to_string(1000 + i % 5000) + "\r\nX " + std::to_string(1400 + i % 300) + "\r\nY " +
                std::to_string(1600 + i / 300 % 300) + "\r\nZ " + std::to_string(i % 7 * 5) +
                "\r\nCONT -1\r\nTYPE 0\r\nAMOUNT 1\r\nCOLOR 0\r\n}\r\n\r\n";
        if (i + 1 < n) {
            text += "SECTION WORLDITEM 0\r\n{\r\nSERIAL " + std::to_string(1073741825 + i) + "\r\nNAME tile\r\n";
        }
    }
    return text;
}

// Every tenth id of the multi's range, then ids the multi does not use.
ComponentsList componentsList(std::int64_t entries) {
    std::vector<std::string> list;
    for (std::int64_t i = 0; i < entries; ++i) {
        list.push_back(ItemIdHexForm(std::to_string(i < 500 ? 1000 + i * 10 : 10000 + i)));
    }
    return ComponentsList(std::move(list));
}

const std::string& cachedInput(bool wsc, std::int64_t n) {
    static std::map<std::pair<bool, std::int64_t>, std::string> inputs;
    std::string& input = inputs[{wsc, n}];
    if (input.empty()) {
        input = wsc ? wscExport(n) : multiText(n);
    }
    return input;
}

void runLoad(benchmark::State& state, bool wsc) {
    const std::string& input = cachedInput(wsc, state.range(0));
    const ComponentsList list = componentsList(state.range(1));
    ComponentTable table;
    for (auto _ : state) {
        table.ResetMulti();
        if (wsc) {
            ReadWscFile(input, "bench.wsc", table, list);
        } else {
            ReadMultiTxt(input, "bench.txt", table, list);
        }
        benchmark::DoNotOptimize(table.Count);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(input.size()));
    state.counters["components"] = static_cast<double>(table.Count);
}

void BM_LoadMultiTxt(benchmark::State& state) { runLoad(state, false); }
void BM_LoadWsc(benchmark::State& state) { runLoad(state, true); }

// The whole load command from a file on disk, reading included.
void BM_LoadMultiTxtFile(benchmark::State& state) {
    const auto path = std::filesystem::temp_directory_path() / "keelwright-bench-multi.txt";
    {
        const std::string& input = cachedInput(false, state.range(0));
        std::ofstream(path, std::ios::binary).write(input.data(), static_cast<std::streamsize>(input.size()));
    }
    const ComponentsList list = componentsList(5000);
    ComponentTable table;
    for (auto _ : state) {
        LoadMulti(path, ScriptType::MultiTxt, table, list);
        benchmark::DoNotOptimize(table.Count);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(path)));
    std::filesystem::remove(path);
}

BENCHMARK(BM_LoadMultiTxt)->ArgsProduct({{10'000, 1'000'000}, {0, 50, 5000}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadWsc)->ArgsProduct({{10'000, 1'000'000}, {0, 50, 5000}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadMultiTxtFile)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

}  // namespace
