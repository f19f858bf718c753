#pragma once

#include "core/simulation_state.h"

namespace taviro {

// Condenses a run: the expected net coins per game e (each count divided by the game count
// before it is multiplied, the five terms added in a fixed order), the virtual out G × e and
// the PAYOUT percentage (e + 3) × 100 / 3, a game being a stake of 3 coins.
void ComputePayout(SimulationState& s);

}  // namespace taviro
