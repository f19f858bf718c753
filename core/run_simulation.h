#pragma once

#include "core/run_control.h"
#include "core/simulation_state.h"
#include "core/uniform_source.h"

namespace taviro {

// Plays the run that LoadParameters prepared, recording the per-game history when the state
// keeps one, and ends with ComputePayout. Returns false when `control` stopped it half-way.
bool RunSimulation(SimulationState& s, UniformSource& source, RunControl* control = nullptr);

}  // namespace taviro
