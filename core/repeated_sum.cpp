#include "core/repeated_sum.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>

#include "core/vector_path.h"

namespace taviro {

namespace {

// How many of the next additions of `step` to `x`, at most `wanted`, each add the same exact
// amount d, so that the k-th sum is x + k × d, computed exactly. Let u be the spacing of the
// doubles in x's binade [2^e, 2^(e+1)): there |x| = M × u with M in [2^52, 2^53), M being the
// significand with its leading bit. Rounding `step` to a multiple of u gives d = q × u, with a
// remainder below u / 2 (a remainder of exactly u / 2, a tie, is left to the one-by-one loop).
// While |x_k| / u stays at least |q| + 1 inside both ends of [2^52, 2^53], the exact sum
// x_k + step lies inside the binade, where every multiple of u is a double, so it rounds to
// x_k + d, again inside. Returns 0 where this does not apply.
std::int64_t UniformSteps(double x, double step, std::int64_t wanted, double& d) {
    const auto bits = std::bit_cast<std::uint64_t>(x);
    const auto biased = static_cast<std::int64_t>(bits >> 52 & 0x7FF);  // e + 1023
    // x finite and at least 2^-900 in size, `step` at most |x| / 16 (no NaN either)
    if (biased < 123 || biased > 2046 || !(std::fabs(step) <= std::fabs(x) * 0x1p-4)) return 0;
    const auto u = std::bit_cast<double>(static_cast<std::uint64_t>(biased - 52) << 52);
    const auto perU = std::bit_cast<double>(static_cast<std::uint64_t>(2098 - biased) << 52);
    const double units = step * perU;    // exact: a scaling by a power of two, below 2^49
    constexpr double kRound = 0x1.8p52;  // adding and taking it away rounds to an integer
    const double q = (units + kRound) - kRound;
    if (std::fabs(units - q) == 0.5) return 0;
    const auto magnitude =
        static_cast<std::int64_t>((bits & ((std::uint64_t{1} << 52) - 1)) | std::uint64_t{1} << 52);
    const auto change = static_cast<std::int64_t>(std::signbit(x) ? -q : q);
    const std::int64_t margin = std::abs(change) + 1;
    const std::int64_t low = (std::int64_t{1} << 52) + margin;
    const std::int64_t high = (std::int64_t{1} << 53) - margin;
    if (magnitude < low || magnitude > high) return 0;
    // How far |x| / u may still move; |change| < 2^49, so the product below fits for a short run.
    const std::int64_t room = change > 0 ? high - magnitude : magnitude - low;
    const std::int64_t size = std::abs(change);
    std::int64_t steps = wanted;
    if (size != 0 && (wanted > 8192 || (wanted - 1) * size > room)) {
        steps = std::min(wanted, room / size + 1);
    }
    d = q * u;
    return steps;
}

// out[k] = x + (k + 1) × d for k below n: exact sums, so any order of the work gives them.
void WriteSums(double* out, double x, double d, std::int32_t n) {
    for (std::int32_t k = 0; k < n; ++k) out[k] = x + (k + 1) * d;
}

#if defined(__x86_64__) || defined(__i386__)
// The same loop in AVX2 registers, four sums at a time.
__attribute__((target("avx2"))) void WriteSumsAvx2(double* out, double x, double d,
                                                   std::int32_t n) {
    for (std::int32_t k = 0; k < n; ++k) out[k] = x + (k + 1) * d;
}
#endif

}  // namespace

double AddRepeatedly(double balance, double step, std::int64_t count, double* out, float& lowest) {
    if (step == 0 && count > 0) {
        balance = balance + step;  // every later sum is this one again
        if (out != nullptr) std::fill(out, out + count, balance);
        lowest = std::min(lowest, static_cast<float>(balance));
        return balance;
    }
    constexpr std::int64_t kMostAtOnce = std::int64_t{1} << 30;  // k stays a 32-bit integer
    std::int64_t done = 0;
    while (done < count) {
        double d = 0;
        const auto steps = static_cast<std::int32_t>(
            UniformSteps(balance, step, std::min(count - done, kMostAtOnce), d));
        if (steps < 2) {
            balance = balance + step;
            if (out != nullptr) out[done] = balance;
            lowest = std::min(lowest, static_cast<float>(balance));
            ++done;
            continue;
        }
        if (out != nullptr) {
#if defined(__x86_64__) || defined(__i386__)
            if (Avx2PathActive()) {
                WriteSumsAvx2(out + done, balance, d, steps);
            } else {
                WriteSums(out + done, balance, d, steps);
            }
#else
            WriteSums(out + done, balance, d, steps);
#endif
        }
        // The sums move one way, so the lowest of them in single precision is at one end.
        lowest = std::min(lowest, static_cast<float>(balance + d));
        balance = balance + steps * d;
        lowest = std::min(lowest, static_cast<float>(balance));
        done += steps;
    }
    return balance;
}

}  // namespace taviro
