// The start command without its window: reseed, read the parameters, play the run.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/parameters.h"
#include "core/simulation_state.h"
#include "core/uniform_source.h"

namespace taviro {

enum class StartOutcome {
    Ran,                // a run took place; the results display follows
    NoGames,            // the game count reads as 0: parameters loaded, nothing played
    NumberTooLarge,     // refused, state unchanged
    GameCountTooLarge,  // refused, state unchanged
    OutOfMemory,        // refused, state unchanged
};

enum class Edition { Full, Lite };

StartOutcome StartCommand(SimulationState& state, const ParameterTexts& texts,
                          UniformSource& source,
                          std::uint64_t historyLimit = DefaultHistoryLimit());

// The message the start command shows for an outcome; empty for Ran. The light edition's
// message for a count of 0 has no closing full stop.
std::string_view StartMessage(StartOutcome outcome, Edition edition);

}  // namespace taviro
