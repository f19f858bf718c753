// The balance over a run of games that all add the same amount, computed in bulk with the same
// doubles as one addition per game.
#pragma once

#include <cstdint>
#include <span>

namespace taviro {

// Adds `step` to `balance` `count` times, rounding after every addition as a game-by-game loop
// does, writes each sum to out[0] to out[count - 1] when `out` is given, lowers `lowest` to the
// lowest sum in single precision, and returns the last sum.
double AddRepeatedly(double balance, double step, std::int64_t count, double* out, float& lowest);

// As AddRepeatedly, but of the sums only those after the additions numbered at[i] - offset
// (`at` ascending, numbers from 1 to `count`) are written, to sums[i]: as cheap as no sums at
// all.
double AddRepeatedlyAt(double balance, double step, std::int64_t count,
                       std::span<const std::int64_t> at, std::int64_t offset, double* sums,
                       float& lowest);

}  // namespace taviro
