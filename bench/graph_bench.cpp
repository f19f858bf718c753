// Time to draw the slump graph of a run into the graph window's surface, at the designed scale and
// fitted to the whole run (from the extents of its blocks of games, which the history keeps).
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QMenu>

#include "bench/played_run.h"
#include "forms/app_setup.h"
#include "forms/qt_message_box.h"
#include "full/graph_window.h"

namespace {

using namespace taviro;

void Draw(benchmark::State& state, GraphScale scale) {
    SimulationState s = PlayedRun(state.range(0));
    s.GraphX0 = 1000;
    s.GraphY0 = 5000;
    s.GraphYDiv = 2;

    QtMessageBox messages;
    QtImageFileDialog files;
    GraphWindow window(messages, files);
    if (scale == GraphScale::Fitted) window.ContextMenu()->actions().at(0)->trigger();
    for (auto _ : state) {
        window.ClearCurve();
        window.DrawCurve(s);
    }
}

void BM_DrawCurve(benchmark::State& state) {
    Draw(state, GraphScale::Designed);
}
void BM_DrawFittedCurve(benchmark::State& state) {
    Draw(state, GraphScale::Fitted);
}
BENCHMARK(BM_DrawCurve)
    ->Arg(8000)
    ->Arg(100'000'000)
    ->Arg(1'000'000'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawFittedCurve)
    ->Arg(8000)
    ->Arg(1'000'000)
    ->Arg(100'000'000)
    ->Arg(1'000'000'000)
    ->Unit(benchmark::kMillisecond);

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
