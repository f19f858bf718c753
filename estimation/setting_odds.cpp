#include "estimation/setting_odds.h"

#include <algorithm>
#include <limits>

namespace taviro::stats {

namespace {

// Generator values k (0 to 2^24 - 1) whose lottery number Floor(k / 2^24 × 7602176 + 1) is at
// most `threshold`: k × 29 / 64 < threshold, so ceil(64 × threshold / 29) of them.
std::int64_t ValuesUpTo(std::int32_t threshold) {
    if (threshold <= 0) return 0;
    const std::int64_t values = (std::int64_t{64} * threshold + 28) / 29;
    return std::min(values, kGeneratorValues);
}

}  // namespace

SettingOdds OddsOf(const SimulationState& s) {
    const std::int64_t plain = ValuesUpTo(s.ThrBIG);
    const std::int64_t ar150 = ValuesUpTo(s.ThrBIG_AR150);
    const std::int64_t ar1000 = ValuesUpTo(s.ThrBIG_AR1000);
    const std::int64_t reg = ValuesUpTo(s.ThrREG);
    return {{plain, ar150 - plain, ar1000 - ar150, std::max<std::int64_t>(0, reg - ar1000)}};
}

Coins CoinsOf(const SimulationState& s) {
    return {s.BaseN, s.BaseAR, s.OutNBIG, s.OutHBIG, s.OutREG};
}

double LongRunArShare(const SettingOdds& odds) {
    return odds.Chance(Drawn::Big150) * 150 + odds.Chance(Drawn::Big1000) * 1000;
}

double LongRunPayout(const SettingOdds& odds, const Coins& coins) {
    const double a = LongRunArShare(odds);
    if (a >= 1) return std::numeric_limits<double>::quiet_NaN();
    // A draw does not depend on the mode, so a share a of the BIGs is drawn during AR and paid
    // as hyper BIGs.
    const double big = odds.BigChance();
    const double e = big * a * coins.hyperBig + big * (1 - a) * coins.normalBig +
                     odds.RegChance() * coins.reg + a * coins.arBase + (1 - a) * coins.normalBase;
    return (e + 3) * 100 / 3;
}

}  // namespace taviro::stats
