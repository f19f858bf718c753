#pragma once

#include "simulation_state.h"
#include "uniform_source.h"

namespace taviro {

// Plays the run that LoadParameters prepared, recording the per-game history when the state
// keeps one, and ends with ComputePayout.
void RunSimulation(SimulationState& s, UniformSource& source);

}  // namespace taviro
