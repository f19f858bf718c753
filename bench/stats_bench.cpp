// Games per second of taviro-stats' default workload (all six settings, 10000 sessions of 8000
// games) with one thread and with two; the same with each session's balances kept at the
// checkpoints of a picture, and the percentile bands of those balances.
#include <benchmark/benchmark.h>

#include "chart_layout/picture_request.h"
#include "chart_layout/sessions_chart.h"
#include "sessions/session_curves.h"
#include "sessions/sessions.h"

namespace {

using namespace taviro;
using namespace taviro::stats;

void PlayAll(benchmark::State& state, bool picture) {
    const auto threads = static_cast<unsigned>(state.range(0));
    SessionsPlan options;
    if (picture) options.curvePoints = CurvePoints(PictureRequest{}.width, options.settings.size());
    std::vector<SettingSessions> settings = *PrepareSettings(options);
    for (auto _ : state) {
        Progress progress;
        PlayAllSessions(settings, options.sessions, 42, options.rate, threads, progress);
        benchmark::DoNotOptimize(settings.front().results.data());
    }
    state.SetItemsProcessed(state.iterations() * options.sessions * options.games *
                            static_cast<std::int64_t>(settings.size()));
}

void BM_AllSettings(benchmark::State& state) {
    PlayAll(state, false);
}
BENCHMARK(BM_AllSettings)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(2)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_AllSettingsWithCurves(benchmark::State& state) {
    PlayAll(state, true);
}
BENCHMARK(BM_AllSettingsWithCurves)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(2)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_SessionBands(benchmark::State& state) {
    const auto threads = static_cast<unsigned>(state.range(0));
    SessionsPlan options;
    options.curvePoints = CurvePoints(PictureRequest{}.width, options.settings.size());
    std::vector<SettingSessions> settings = *PrepareSettings(options);
    Progress progress;
    PlayAllSessions(settings, options.sessions, 42, options.rate, 2, progress);
    for (auto _ : state) {
        benchmark::DoNotOptimize(SessionBands(settings, threads).data());
    }
}
BENCHMARK(BM_SessionBands)->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
