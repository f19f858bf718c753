// Time to draw the slump graph of a run into the graph window's surface.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "bench/played_run.h"
#include "forms/app_setup.h"
#include "full/graph_window.h"

namespace {

using namespace taviro;

void BM_DrawCurve(benchmark::State& state) {
    SimulationState s = PlayedRun(state.range(0));
    s.GraphX0 = 1000;
    s.GraphY0 = 5000;
    s.GraphYDiv = 2;

    GraphWindow window;
    for (auto _ : state) {
        window.ClearCurve();
        window.DrawCurve(s);
    }
}
BENCHMARK(BM_DrawCurve)->Arg(8000)->Arg(100'000'000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetUpApplication(app);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
