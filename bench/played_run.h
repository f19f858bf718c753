// A run of the default parameters for the benchmarks.
#pragma once

#include <cstdint>
#include <string>

#include "core/parameters.h"
#include "core/run_simulation.h"
#include "core/xoshiro_source.h"

namespace taviro {

// The state after LoadParameters for `games` games of the default parameters.
inline SimulationState PreparedRun(std::int64_t games, bool history) {
    ParameterTexts texts;
    texts.TexGAME = std::to_string(games);
    return PreparedState(texts, history).value();
}

// A whole run with history, from a fixed seed.
inline SimulationState PlayedRun(std::int64_t games) {
    SimulationState s = PreparedRun(games, true);
    XoshiroSource source(1);
    RunSimulation(s, source);
    return s;
}

}  // namespace taviro
