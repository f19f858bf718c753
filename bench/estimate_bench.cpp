// Time of `taviro-stats estimate`'s work on this machine's threads: the posterior alone, with
// "games until you know", and with a projection of 10000 games as well; the counts of the README
// example, a long session's, and the example with the hyper BIG and AR counts given.
#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

#include "estimation/estimate.h"

namespace {

using namespace taviro::stats;

EstimateInput Input(std::int64_t games, std::int64_t bigs, std::int64_t regs) {
    EstimateInput in;
    in.games = games;
    in.bigs = bigs;
    in.regs = regs;
    in.seed = 1;
    return in;
}

const unsigned threads = std::max(1u, std::thread::hardware_concurrency());

void Run(benchmark::State& state, EstimateInput in) {
    for (auto _ : state) {
        const EstimateOutcome outcome = Estimate(in, threads);
        benchmark::DoNotOptimize(outcome.answer->posterior);
        state.counters["orders"] = static_cast<double>(outcome.answer->orders);
    }
}

void BM_Posterior(benchmark::State& state) {
    EstimateInput in = Input(3000, 12, 8);
    in.untilKnown = false;
    Run(state, in);
}

void BM_PosteriorUntilKnown(benchmark::State& state) {
    Run(state, Input(3000, 12, 8));
}

void BM_Remaining10000(benchmark::State& state) {
    EstimateInput in = Input(3000, 12, 8);
    in.remaining = 10000;
    Run(state, in);
}

void BM_LongSessionPosterior(benchmark::State& state) {
    EstimateInput in = Input(20000, 70, 30);
    in.untilKnown = false;
    Run(state, in);
}

void BM_HyperAndArGiven(benchmark::State& state) {
    EstimateInput in = Input(3000, 12, 8);
    in.hyperBigs = 3;
    in.arGames = 500;
    in.untilKnown = false;
    Run(state, in);
}

// A chain of 16 hyper BIGs whose last AR is under way at the end: summed over the machine's paths.
void BM_HyperChainPinned(benchmark::State& state) {
    EstimateInput in = Input(3000, 17, 3);
    in.hyperBigs = 16;
    in.arGames = 2650;
    in.untilKnown = false;
    Run(state, in);
}

// How long a computation runs on once it is asked to stop (as a window does when a newer
// keystroke comes): the stop is requested 20 ms into an estimate with a 10000-game projection.
void BM_StopLatency(benchmark::State& state) {
    EstimateInput in = Input(3000, 12, 8);
    in.remaining = 10000;
    in.seed = 2;
    for (auto _ : state) {
        taviro::RunControl control;
        std::chrono::steady_clock::time_point asked;
        std::thread stopper([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            asked = std::chrono::steady_clock::now();
            control.RequestStop();
        });
        const EstimateOutcome outcome = Estimate(in, threads, &control);
        const auto done = std::chrono::steady_clock::now();
        stopper.join();
        state.SetIterationTime(std::chrono::duration<double>(done - asked).count());
        benchmark::DoNotOptimize(outcome.stopped);
    }
}
BENCHMARK(BM_StopLatency)
    ->Iterations(1)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Medians of nine runs each: other work on the machine makes single runs scatter.
#define TAVIRO_ESTIMATE_BENCH(name)  \
    BENCHMARK(name)                  \
        ->Iterations(1)              \
        ->Repetitions(9)             \
        ->ReportAggregatesOnly(true) \
        ->UseRealTime()              \
        ->Unit(benchmark::kMillisecond)
TAVIRO_ESTIMATE_BENCH(BM_Posterior);
TAVIRO_ESTIMATE_BENCH(BM_PosteriorUntilKnown);
TAVIRO_ESTIMATE_BENCH(BM_Remaining10000);
TAVIRO_ESTIMATE_BENCH(BM_LongSessionPosterior);
TAVIRO_ESTIMATE_BENCH(BM_HyperAndArGiven);
TAVIRO_ESTIMATE_BENCH(BM_HyperChainPinned);

}  // namespace

BENCHMARK_MAIN();
