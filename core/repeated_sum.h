// The balance over a run of games that all add the same amount, computed in bulk with the same
// doubles as one addition per game.
#pragma once

#include <cstdint>

namespace taviro {

// Adds `step` to `balance` `count` times, rounding after every addition as a game-by-game loop
// does, writes each sum to out[0] to out[count - 1] when `out` is given, lowers `lowest` to the
// lowest sum in single precision, and returns the last sum.
double AddRepeatedly(double balance, double step, std::int64_t count, double* out, float& lowest);

}  // namespace taviro
