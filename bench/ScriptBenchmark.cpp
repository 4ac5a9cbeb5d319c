// Writing both script formats for multis of 1,000 and 100,000 components, with every component on a line
// (Scripts Only) and with one in ten listed: the cost must grow linearly with the lines written.
#include <benchmark/benchmark.h>

#include <string>

#include "model/ComponentTable.h"
#include "scripts/ItemScripts.h"

namespace {

using namespace keelwright;

ComponentTable multi(std::int64_t n) {
    ComponentTable table;
    for (std::int64_t i = 0; i < n; ++i) {
        table.ItemId.push_back(std::to_string(1000 + i % 5000));
        table.X.push_back(std::to_string(i % 300 - 150));
        table.Y.push_back(std::to_string(i / 300 % 300 - 150));
        table.Z.push_back(std::to_string(i % 7 * 5));
        table.Flags.push_back(i % 10 == 0 ? "0" : "1");
    }
    table.Count = static_cast<std::int32_t>(n);
    table.MinX = table.MinY = -150;
    table.MaxX = table.MaxY = 149;
    return table;
}

void runScript(benchmark::State& state, std::string (*create)(const ScriptDetails&, const ComponentTable&)) {
    const ComponentTable table = multi(state.range(0));
    ScriptDetails details;
    details.multiName = "Lakeside Mill";
    details.buyValue = "25000";
    details.sellValue = "12500";
    details.scriptsOnly = state.range(1) != 0;
    details.patchSlot = 1234;
    details.componentsListCount = 50;
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string text = create(details, table);
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}

void BM_CreateScript51a(benchmark::State& state) {
    runScript(state, CreateScript51a);
}
void BM_CreateScript54(benchmark::State& state) {
    runScript(state, CreateScript54);
}

BENCHMARK(BM_CreateScript51a)->ArgsProduct({{1'000, 100'000}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CreateScript54)->ArgsProduct({{1'000, 100'000}, {0, 1}})->Unit(benchmark::kMillisecond);

}  // namespace
