// Games per second of the lottery alone, the light run and the run with history, and the
// memory each needs.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <array>
#include <string>

#include "bench/played_run.h"
#include "core/game_loop.h"
#include "core/parameters.h"
#include "core/run_simulation.h"
#include "core/xoshiro_source.h"

namespace {

using namespace taviro;

double PeakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss);
}

// The reference limit: draw a number per game from the default generator and classify it into
// the five regions of setting 1.
void BM_BareLottery(benchmark::State& state) {
    const SimulationState s = PreparedRun(0, false);
    XoshiroSource source(1);
    const std::int64_t games = state.range(0);
    std::array<float, 512> uniforms;
    std::array<std::int64_t, 5> regions{};
    for (auto _ : state) {
        for (std::int64_t first = 0; first < games; first += uniforms.size()) {
            const auto count = std::min<std::int64_t>(uniforms.size(), games - first);
            source.Fill(std::span<float>(uniforms.data(), count));
            for (std::int64_t j = 0; j < count; ++j) {
                const std::int32_t draw = DrawFromUniform(uniforms[j]);
                const int region = draw <= s.ThrBIG          ? 0
                                   : draw <= s.ThrBIG_AR150  ? 1
                                   : draw <= s.ThrBIG_AR1000 ? 2
                                   : draw <= s.ThrREG        ? 3
                                                             : 4;
                ++regions[region];
            }
        }
        benchmark::DoNotOptimize(regions);
    }
    state.SetItemsProcessed(state.iterations() * games);
}
BENCHMARK(BM_BareLottery)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_LightRun(benchmark::State& state) {
    const std::int64_t games = state.range(0);
    XoshiroSource source(1);
    SimulationState s = PreparedRun(games, false);
    for (auto _ : state) {
        RunSimulation(s, source);
        benchmark::DoNotOptimize(s.Payout);
    }
    state.SetItemsProcessed(state.iterations() * games);
    state.counters["peak_rss_KiB"] = PeakResidentKiB();
}
BENCHMARK(BM_LightRun)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
// The largest count: memory must stay that of a short run.
BENCHMARK(BM_LightRun)->Arg(8000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LightRun)->Arg(2147483647)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_FullRun(benchmark::State& state) {
    const std::int64_t games = state.range(0);
    XoshiroSource source(1);
    SimulationState s = PreparedRun(games, true);
    for (auto _ : state) {
        RunSimulation(s, source);
        benchmark::DoNotOptimize(s.Balance.data());
    }
    state.SetItemsProcessed(state.iterations() * games);
    const double bytes =
        static_cast<double>(s.Balance.capacity() * sizeof(double) + s.GameLog.size());
    state.counters["history_bytes_per_game"] = bytes / static_cast<double>(games + 1);
}
BENCHMARK(BM_FullRun)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
