#pragma once

#include "core/simulation_state.h"
#include "core/uniform_source.h"

namespace taviro {

// Plays the run that LoadParameters prepared, recording the per-game history when the state
// keeps one, and ends with ComputePayout.
void RunSimulation(SimulationState& s, UniformSource& source);

}  // namespace taviro
