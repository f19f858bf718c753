// Time and size of the data file of a long run, written to a real file.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>

#include "bench/played_run.h"
#include "datafile/data_file.h"

namespace {

using namespace taviro;

void BM_WriteDataFile(benchmark::State& state) {
    SimulationState s = PlayedRun(state.range(0));

    const auto path = std::filesystem::temp_directory_path() /
                      ("taviro_bench_" + std::to_string(::getpid()) + ".csv");
    PosixFileSystem files;
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    for (auto _ : state) {
        std::string error;
        auto file = files.Create(path.string(), error);
        if (!file || !WriteDataFile(*file, s, {"1", "-1234", "97.5", "1/400", "1/800"}) ||
            !file->Commit()) {
            state.SkipWithError("writing failed");
            break;
        }
    }
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    state.counters["peak_rss_growth_KiB"] = static_cast<double>(after.ru_maxrss - before.ru_maxrss);
    state.SetItemsProcessed(state.iterations() * state.range(0));
    std::filesystem::remove(path);
}
BENCHMARK(BM_WriteDataFile)->Arg(10'000'000)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
