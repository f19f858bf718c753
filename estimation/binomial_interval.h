// The exact (Clopper-Pearson) confidence interval of a chance per trial, from k successes in n
// trials, and the gamma and incomplete beta functions it rests on.
#pragma once

#include <cstdint>

namespace taviro::stats {

// ln Γ(x) for x > 0, safe to call from several threads at once (std::lgamma writes a global).
double LogGamma(double x);

// I_x(a, b) for a, b > 0 and 0 ≤ x ≤ 1.
double RegularizedBeta(double x, double a, double b);

struct ChanceInterval {
    double low = 0;   // 0 when k = 0
    double high = 1;  // 1 when k = n
};

// The interval that covers the chance with probability at least `level` (e.g. 0.95); n ≥ 1,
// 0 ≤ k ≤ n.
ChanceInterval ClopperPearson(std::int64_t k, std::int64_t n, double level);

}  // namespace taviro::stats
