// Two figures of runs as the windows play them, printed for the record:
//  - the peak memory of two consecutive runs with history, the second while the first one's
//    history is held: loaded and run in place over the old history, and as the window plays them
//    (the old history released before the new one is allocated);
//  - games per second of a run played on a worker thread whose progress another thread reads ten
//    times a second, against the same run played directly.
// Usage: background_run_bench [games with history, default 100000000]
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "core/parameters.h"
#include "core/run_simulation.h"
#include "core/start_transaction.h"
#include "core/xoshiro_source.h"

namespace {

using namespace taviro;

// The peak resident memory since the last reset, in MiB (VmHWM; Linux only).
double PeakMiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    }
    return -1;
}
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

ParameterTexts Texts(std::int64_t games) {
    ParameterTexts texts;
    texts.TexGAME = std::to_string(games);
    return texts;
}

// One run as the window plays it: prepared, played on this thread, committed.
void WindowRun(SimulationState& state, HistoryOrigin& origin, UniformSource& source,
               std::int64_t games) {
    StartTransaction start(state, origin, source);
    if (start.Prepare(Texts(games), DefaultHistoryLimit()) != StartOutcome::Ran) std::abort();
    RunControl control;
    start.Play(control);
    start.Commit();
}

void PrintMemory(std::int64_t games) {
    XoshiroSource source(1);
    {
        SimulationState state;
        state.KeepsHistory = true;
        double peaks[2];
        for (double& peak : peaks) {
            ResetPeak();
            source.Reseed();
            if (LoadParameters(state, Texts(games)) != LoadStatus::Loaded) std::abort();
            RunSimulation(state, source);
            peak = PeakMiB();
        }
        std::printf("loaded in place:      first run %.0f MiB, second run %.0f MiB (%+.1f%%)\n",
                    peaks[0], peaks[1], (peaks[1] / peaks[0] - 1) * 100);
    }
    SimulationState state;
    state.KeepsHistory = true;
    HistoryOrigin origin;
    double peaks[2];
    for (double& peak : peaks) {
        ResetPeak();
        WindowRun(state, origin, source, games);
        peak = PeakMiB();
    }
    std::printf("as the window plays:  first run %.0f MiB, second run %.0f MiB (%+.1f%%)\n",
                peaks[0], peaks[1], (peaks[1] / peaks[0] - 1) * 100);
}

// Games per second of `games` games, played directly or on a worker thread that is followed.
double GamesPerSecond(std::int64_t games, bool history, bool followed) {
    SimulationState s = PreparedState(Texts(games), history).value();
    XoshiroSource source(1);
    const auto start = std::chrono::steady_clock::now();
    auto end = start;
    if (followed) {
        RunControl control;
        std::atomic<bool> done{false};
        std::thread worker([&] {
            RunSimulation(s, source, &control);
            end = std::chrono::steady_clock::now();  // the window hears of the end at once
            done = true;
        });
        while (!done) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            [[maybe_unused]] volatile std::int64_t seen = control.GamesPlayed();
        }
        worker.join();
    } else {
        RunSimulation(s, source);
        end = std::chrono::steady_clock::now();
    }
    const std::chrono::duration<double> elapsed = end - start;
    return static_cast<double>(games) / elapsed.count();
}

void PrintPace(const char* what, std::int64_t games, bool history) {
    constexpr int kRounds = 5;
    double direct = 0, followed = 0;
    for (int round = 0; round < kRounds; ++round) {  // interleaved, best of each
        direct = std::max(direct, GamesPerSecond(games, history, false));
        followed = std::max(followed, GamesPerSecond(games, history, true));
    }
    std::printf("%s, %lld games: direct %.0fM/s, on a followed worker %.0fM/s (%+.1f%%)\n", what,
                static_cast<long long>(games), direct / 1e6, followed / 1e6,
                (followed / direct - 1) * 100);
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::int64_t games = argc > 1 ? std::atoll(argv[1]) : 100'000'000;
    PrintMemory(games);
    PrintPace("light run", 200'000'000, false);
    PrintPace("run with history", 100'000'000, true);
    return 0;
}
