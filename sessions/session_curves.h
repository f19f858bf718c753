// The spread of the sessions' balances over the session: at each checkpoint, the 5, 25, 50, 75
// and 95 percentiles of the balances of the sessions that completed.
#pragma once

#include <span>
#include <vector>

#include "core/distribution.h"
#include "sessions/sessions.h"

namespace taviro::stats {

// The five percentiles of `values` (not empty) as Percentile finds them in the sorted values,
// without sorting them all; NaN when a value is not a finite number.
Band BandOf(std::span<const float> values);

// For each setting, the bands of its completed sessions at its checkpoints, found on up to
// `threads` threads; empty when it kept no balance or no session of it completed.
std::vector<std::vector<Band>> SessionBands(const std::vector<SettingSessions>& settings,
                                            unsigned threads);

// Columns of balances one task gathers at a time: a cache line of each session's balances.
inline constexpr std::size_t kColumnsPerTask = 16;

}  // namespace taviro::stats
