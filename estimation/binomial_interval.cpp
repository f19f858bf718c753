#include "estimation/binomial_interval.h"

#include <math.h>

#include <cmath>

namespace taviro::stats {

namespace {

// The continued fraction of I_x(a, b), by the modified Lentz method; converges quickly for
// x < (a + 1) / (a + b + 2).
double BetaFraction(double x, double a, double b) {
    constexpr double kTiny = 1e-300;
    constexpr double kEpsilon = 1e-15;
    double c = 1;
    double d = 1 - (a + b) * x / (a + 1);
    d = 1 / (std::fabs(d) < kTiny ? kTiny : d);
    double h = d;
    auto step = [&](double numerator) {
        d = 1 + numerator * d;
        d = 1 / (std::fabs(d) < kTiny ? kTiny : d);
        c = 1 + numerator / c;
        if (std::fabs(c) < kTiny) c = kTiny;
        h *= d * c;
        return d * c;
    };
    for (int m = 1; m <= 10000; ++m) {
        const double m2 = 2.0 * m;
        step(m * (b - m) * x / ((a + m2 - 1) * (a + m2)));
        const double last = step(-(a + m) * (a + b + m) * x / ((a + m2) * (a + m2 + 1)));
        if (std::fabs(last - 1) < kEpsilon) break;
    }
    return h;
}

// The x at which I_x(a, b) = target, by bisection (I is increasing in x).
double InverseBeta(double target, double a, double b) {
    double low = 0, high = 1;
    for (int i = 0; i < 200 && high - low > 0; ++i) {
        const double middle = (low + high) / 2;
        if (middle == low || middle == high) break;
        (RegularizedBeta(middle, a, b) < target ? low : high) = middle;
    }
    return (low + high) / 2;
}

}  // namespace

double LogGamma(double x) {
    int sign = 0;
    return ::lgamma_r(x, &sign);
}

double RegularizedBeta(double x, double a, double b) {
    if (x <= 0) return 0;
    if (x >= 1) return 1;
    const double logFront =
        LogGamma(a + b) - LogGamma(a) - LogGamma(b) + a * std::log(x) + b * std::log1p(-x);
    const double front = std::exp(logFront);
    if (x < (a + 1) / (a + b + 2)) return front * BetaFraction(x, a, b) / a;
    return 1 - front * BetaFraction(1 - x, b, a) / b;
}

ChanceInterval ClopperPearson(std::int64_t k, std::int64_t n, double level) {
    const double tail = (1 - level) / 2;
    const auto kd = static_cast<double>(k);
    const auto nd = static_cast<double>(n);
    ChanceInterval interval;
    if (k > 0) interval.low = InverseBeta(tail, kd, nd - kd + 1);
    if (k < n) interval.high = InverseBeta(1 - tail, kd + 1, nd - kd);
    return interval;
}

}  // namespace taviro::stats
