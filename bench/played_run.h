// A run of the default parameters for the benchmarks.
#pragma once

#include <cstdint>
#include <string>

#include "parameters.h"
#include "run_simulation.h"
#include "uniform_source.h"

namespace taviro {

// The state after LoadParameters for `games` games, with or without history.
inline SimulationState PreparedRun(std::int64_t games, bool history) {
    SimulationState s;
    s.KeepsHistory = history;
    ParameterTexts texts;
    texts.TexGAME = std::to_string(games);
    LoadParameters(s, texts);
    return s;
}

// A whole run with history, from a fixed seed.
inline SimulationState PlayedRun(std::int64_t games) {
    SimulationState s = PreparedRun(games, true);
    ClockSeededSource source(1);
    RunSimulation(s, source);
    return s;
}

}  // namespace taviro
