// Games per second of taviro-stats' default workload (all six settings, 10000 sessions of 8000
// games) with one thread and with two.
#include <benchmark/benchmark.h>

#include "stats/options.h"
#include "stats/sessions.h"

namespace {

using namespace taviro;
using namespace taviro::stats;

void BM_AllSettings(benchmark::State& state) {
    const auto threads = static_cast<unsigned>(state.range(0));
    StatsOptions options;
    std::vector<SettingSessions> settings = *PrepareSettings(options);
    for (auto _ : state) {
        Progress progress;
        PlayAllSessions(settings, options.sessions, 42, options.rate, threads, progress);
        benchmark::DoNotOptimize(settings.front().results.data());
    }
    state.SetItemsProcessed(state.iterations() * options.sessions * options.games *
                            static_cast<std::int64_t>(settings.size()));
}
BENCHMARK(BM_AllSettings)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(2)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
