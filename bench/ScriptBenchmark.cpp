// Writing both script formats for multis of 1,000 and 100,000 components, with every component on a line
// (Scripts Only) and with one in ten listed: the cost must grow linearly with the lines written.
#include <benchmark/benchmark.h>

#include <string>

#include "GeneratedMulti.h"
#include "model/ComponentTable.h"
#include "scripts/ItemScripts.h"

namespace {

using namespace keelwright;

void runScript(benchmark::State& state, std::string (*create)(const ScriptDetails&, const ComponentTable&)) {
    const ComponentTable table = bench::GeneratedMulti(state.range(0));
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
