// Loading the same 100,000 tiles from multi text, a UO Architect file and a CSV tile list: the other tools'
// formats should load within twice the time of multi text.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "model/ComponentTable.h"
#include "model/ComponentsList.h"
#include "model/NumberText.h"
#include "model/ScriptReaders.h"
#include "model/UoaFile.h"

namespace {

using namespace keelwright;

// Tile i of a square-ish multi, as in the other load benchmarks.
UoaTile tile(std::int64_t i) {
    return {static_cast<std::int16_t>(1000 + i % 5000),
            static_cast<std::int16_t>(i % 300 - 150),
            static_cast<std::int16_t>(i / 300 % 300 - 150),
            static_cast<std::int16_t>(i % 7 * 5),
            0,
            0};
}

std::string fileOf(ScriptType type, std::int64_t n) {
    std::vector<UoaTile> tiles;
    for (std::int64_t i = 0; i < n; ++i) {
        tiles.push_back(tile(i));
    }
    if (type == ScriptType::Uoa) {
        return UoaFileBytes("bench", tiles);
    }
    std::string text = type == ScriptType::Csv ? "TileID,OffsetX,OffsetY,OffsetZ,Flag,Cliloc\r\n"
                                               : "6 version\r\n1 template id\r\n-1 item version\r\n" +
                                                     NumberText(n) + " num components\r\n";
    for (const UoaTile& t : tiles) {
        if (type == ScriptType::Csv) {
            text += "0x" + Hex16(static_cast<std::uint16_t>(t.itemId)) + "," + NumberText(t.x) + "," +
                    NumberText(t.y) + "," + NumberText(t.z) + ",0x0,\r\n";
        } else {
            text += NumberText(t.itemId) + " " + NumberText(t.x) + " " + NumberText(t.y) + " " +
                    NumberText(t.z) + " 0\r\n";
        }
    }
    return text;
}

void runLoad(benchmark::State& state, ScriptType type) {
    const std::string input = fileOf(type, state.range(0));
    const ComponentsList list({"03E8", "03F2", "03FC"});
    ComponentTable table;
    for (auto _ : state) {
        table.ResetMulti();
        ReadScript(input, "bench", type, table, list);
        benchmark::DoNotOptimize(table.Count);
    }
    state.counters["components"] = static_cast<double>(table.Count);
}

void BM_LoadFormatMultiTxt(benchmark::State& state) {
    runLoad(state, ScriptType::MultiTxt);
}
void BM_LoadFormatUoa(benchmark::State& state) {
    runLoad(state, ScriptType::Uoa);
}
void BM_LoadFormatCsv(benchmark::State& state) {
    runLoad(state, ScriptType::Csv);
}

BENCHMARK(BM_LoadFormatMultiTxt)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFormatUoa)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFormatCsv)->Arg(100'000)->Unit(benchmark::kMillisecond);

}  // namespace
