// The random numbers of the estimator's simulations: uniform integers and reals from the
// program's generator, waits for the next bonus, and the order of a given set of draws.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "core/xoshiro.h"
#include "estimation/setting_odds.h"

namespace taviro::stats {

// The logarithm of a chance of nothing.
inline constexpr double kMinusInfinity = -std::numeric_limits<double>::infinity();
// The work of one task of a parallel simulation: about 2^16 draws, so that a stop request is seen
// within milliseconds.
inline constexpr std::int64_t kTaskDraws = std::int64_t{1} << 16;

class RandomDraws {
  public:
    explicit RandomDraws(std::uint64_t seed) : generator_(seed) {}

    // Uniform in [0, n), n ≥ 1, exactly (multiply and shift, with the rare rejection).
    std::uint32_t Below(std::uint32_t n) {
        std::uint64_t product = static_cast<std::uint64_t>(High32()) * n;
        auto low = static_cast<std::uint32_t>(product);
        if (low < n) {
            const std::uint32_t threshold = (0u - n) % n;
            while (low < threshold) {
                product = static_cast<std::uint64_t>(High32()) * n;
                low = static_cast<std::uint32_t>(product);
            }
        }
        return static_cast<std::uint32_t>(product >> 32);
    }

    // Uniform in (0, 1].
    double Unit() { return static_cast<double>((generator_.NextBits() >> 11) + 1) * 0x1p-53; }

    // Games up to and including the next one whose draw brings a bonus, when each game does so
    // with chance p (0 < p ≤ 1).
    std::int64_t GamesToBonus(double p) {
        if (p >= 1) return 1;
        const double games = std::floor(std::log(Unit()) / std::log1p(-p)) + 1;
        return games < 9e18 ? static_cast<std::int64_t>(games) : INT64_MAX;
    }

  private:
    std::uint32_t High32() { return static_cast<std::uint32_t>(generator_.NextBits() >> 32); }

    Xoshiro256Plus generator_;
};

// The draws of one session in game order, each packed as game × 4 + Drawn.
struct SessionDraws {
    std::vector<std::uint64_t> packed;
    std::vector<std::uint64_t> unsorted;  // working space
    std::vector<std::uint32_t> buckets;   // working space
    std::vector<Drawn> kinds;             // working space
    std::int64_t big150 = 0;              // BIGs with AR150 among them
    std::int64_t big1000 = 0;             // BIGs with AR1000 among them
};

// A uniformly random order of `bigs` BIG draws and `regs` REG draws over `games` games (each
// game draws at most one), the BIGs split plain : AR150 : AR1000 as 58 : 57 : 1.
void DrawOrder(RandomDraws& random, std::int64_t games, std::int64_t bigs, std::int64_t regs,
               SessionDraws& out);

}  // namespace taviro::stats
