#include "core/repeated_sum.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/bit_cast.h"
#include "core/vector_path.h"

namespace taviro {

namespace {

// How many of the next additions of `step` to `x`, at most `wanted`, each add the same exact
// amount d, so that the k-th sum is x + k × d, computed exactly. Let u be the spacing of the
// doubles in x's binade [2^e, 2^(e+1)): there |x| = M × u with M in [2^52, 2^53), M being the
// significand with its leading bit, and every multiple of u from 2^e to 2^(e+1) is a double.
// Rounding `step` to a multiple of u gives d = q × u, with a remainder r × u, |r| < 1/2 (a
// remainder of exactly u / 2, a tie, is left to the one-by-one loop). |x| moves by c = ±q units a
// step. While the sum before the one rounded stays within [2^52, 2^53] units, which holds for a
// start M with M + |c| <= 2^53 - 1 when |x| grows and M - |c| >= 2^52 + 1 when it does not
// (the remainder is less than a unit), the sum rounds to M + c, the next start. Returns 0 where
// this does not apply.
[[gnu::always_inline]] inline std::int64_t UniformSteps(double x, double step, std::int64_t wanted,
                                                        double& d) {
    const auto bits = BitCast<std::uint64_t>(x);
    const auto biased = static_cast<std::int64_t>(bits >> 52 & 0x7FF);  // e + 1023
    // x finite and at least 2^-900 in size, `step` at most |x| / 4 (no NaN either)
    if (biased < 123 || biased > 2046 || !(std::fabs(step) <= std::fabs(x) * 0x1p-2)) return 0;
    const auto u = BitCast<double>(static_cast<std::uint64_t>(biased - 52) << 52);
    const auto perU = BitCast<double>(static_cast<std::uint64_t>(2098 - biased) << 52);
    const double units = step * perU;    // exact: a scaling by a power of two, below 2^51
    constexpr double kRound = 0x1.8p52;  // adding and taking it away rounds to an integer
    const double q = (units + kRound) - kRound;
    if (std::fabs(units - q) == 0.5) return 0;
    const auto magnitude =
        static_cast<std::int64_t>((bits & ((std::uint64_t{1} << 52) - 1)) | std::uint64_t{1} << 52);
    const auto change = static_cast<std::int64_t>(std::signbit(x) ? -q : q);
    const std::int64_t size = std::abs(change);
    // How far M may still move in the direction of c; |c| < 2^51, so the product below fits for
    // a short run.
    const std::int64_t room = change > 0 ? (std::int64_t{1} << 53) - 1 - size - magnitude
                                         : magnitude - size - ((std::int64_t{1} << 52) + 1);
    if (room < 0) return 0;
    std::int64_t steps = wanted;
    if (size != 0 && (wanted > 2048 || (wanted - 1) * size > room)) {
        steps = std::min(wanted, room / size + 1);
    }
    d = q * u;
    return steps;
}

// out[k] = x + (k + 1) × d for k below n: exact sums, so any order of the work gives them.
void WriteSums(double* out, double x, double d, std::int32_t n) {
    for (std::int32_t k = 0; k < n; ++k) out[k] = x + (k + 1) * d;
}

#ifdef TAVIRO_HAS_AVX2_PATH
// The same loop in AVX2 registers, four sums at a time.
__attribute__((target("avx2"))) void WriteSumsAvx2(double* out, double x, double d,
                                                   std::int32_t n) {
    for (std::int32_t k = 0; k < n; ++k) out[k] = x + (k + 1) * d;
}
#endif

// The additions in runs: `run(done, x, d, n)` for the n sums x + k × d (k from 1 to n) after
// `done` sums, and `one(done, sum)` for a sum made one by one.
template <class Run, class One>
double Add(double balance, double step, std::int64_t count, float& lowest, Run run, One one) {
    constexpr std::int64_t kMostAtOnce = std::int64_t{1} << 30;  // k stays a 32-bit integer
    if (step == 0 && count > 0) {
        // Every sum is the first one, balance + step, and so is balance + k × step (either zero
        // keeps its sign as the additions do).
        for (std::int64_t done = 0; done < count; done += kMostAtOnce) {
            run(done, balance, step, std::min(kMostAtOnce, count - done));
        }
        balance = balance + step;
        lowest = std::min(lowest, static_cast<float>(balance));
        return balance;
    }
    std::int64_t done = 0;
    while (done < count) {
        double d = 0;
        const auto steps = static_cast<std::int32_t>(
            UniformSteps(balance, step, std::min(count - done, kMostAtOnce), d));
        if (steps < 2) {
            balance = balance + step;
            one(done, balance);
            lowest = std::min(lowest, static_cast<float>(balance));
            ++done;
            continue;
        }
        run(done, balance, d, steps);
        // The sums move one way, so the lowest of them in single precision is at one end.
        lowest = std::min(lowest, static_cast<float>(balance + d));
        balance = balance + steps * d;
        lowest = std::min(lowest, static_cast<float>(balance));
        done += steps;
    }
    return balance;
}

}  // namespace

double AddRepeatedly(double balance, double step, std::int64_t count, double* out, float& lowest) {
    if (out == nullptr) {
        return Add(
            balance, step, count, lowest, [](std::int64_t, double, double, std::int64_t) {},
            [](std::int64_t, double) {});
    }
    return Add(
        balance, step, count, lowest,
        [out](std::int64_t done, double x, double d, std::int64_t n) {
            const auto steps = static_cast<std::int32_t>(n);
#ifdef TAVIRO_HAS_AVX2_PATH
            if (Avx2PathActive()) {
                WriteSumsAvx2(out + done, x, d, steps);
            } else {
                WriteSums(out + done, x, d, steps);
            }
#else
            WriteSums(out + done, x, d, steps);
#endif
        },
        [out](std::int64_t done, double sum) { out[done] = sum; });
}

namespace {

double DoubleOfBits(std::uint64_t bits) {
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace

const RepeatedAdder::Binade& RepeatedAdder::Prepare(std::uint64_t key, double step,
                                                    std::size_t sign) {
    Binade& binade = binades_[sign];
    binade = {};
    binade.key = key;
    std::memcpy(&binade.stepBits, &step, sizeof binade.stepBits);
    // The conditions of UniformSteps for every start of the binade: finite and at least 2^-900 in
    // size, `step` at most a quarter of the binade's least value (no NaN, and not 0, which
    // AddRepeatedly treats apart).
    const auto biased = static_cast<std::int64_t>(key & 0x7FF);
    if (biased < 123 || biased > 2046 || step == 0) return binade;
    const double quarter = DoubleOfBits(static_cast<std::uint64_t>(biased - 2) << 52);
    if (!(std::fabs(step) <= quarter)) return binade;
    // The same rounding of the step to a multiple of the spacing u as there.
    const double u = DoubleOfBits(static_cast<std::uint64_t>(biased - 52) << 52);
    const double perU = DoubleOfBits(static_cast<std::uint64_t>(2098 - biased) << 52);
    const double units = step * perU;
    constexpr double kRound = 0x1.8p52;
    const double q = (units + kRound) - kRound;
    if (std::fabs(units - q) == 0.5) return binade;
    const auto change = static_cast<std::int64_t>((key >> 11) != 0 ? -q : q);
    binade.size = std::abs(change);
    binade.grows = change > 0;
    binade.amount = q * u;
    return binade;
}

double AddRepeatedlyAt(double balance, double step, std::int64_t count,
                       std::span<const std::int64_t> at, std::int64_t offset, double* sums,
                       float& lowest) {
    std::size_t next = 0;
    return Add(
        balance, step, count, lowest,
        [&](std::int64_t done, double x, double d, std::int64_t n) {
            // Sum number k (from 1) of this run is x + k × d.
            for (; next < at.size() && at[next] - offset <= done + n; ++next) {
                sums[next] = x + static_cast<double>(at[next] - offset - done) * d;
            }
        },
        [&](std::int64_t done, double sum) {
            if (next < at.size() && at[next] - offset == done + 1) sums[next++] = sum;
        });
}

}  // namespace taviro
