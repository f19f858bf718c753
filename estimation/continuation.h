// What comes after the games played. Each continuation draws the setting from the posterior and
// the machine's state from its posterior under that setting (held bonuses and an AR under way
// carry over), then plays on: the net coins and money over the next games, and how many games
// it takes until P(setting 5 or 6) leaves the band between 0.1 and 0.9.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/distribution.h"
#include "core/run_control.h"
#include "estimation/likelihood.h"
#include "estimation/setting_odds.h"

namespace taviro::stats {

struct ContinuationPlan {
    const LikelihoodEstimate* now = nullptr;  // posterior and end states
    std::array<SettingOdds, kSettings> odds{};
    Coins coins;
    double rate = 5;             // coins per 100 yen
    std::int64_t remaining = 0;  // games to project; 0: no projection
    std::int64_t continuations = 0;
    std::int64_t knowContinuations = 0;  // the first ones are followed until the setting is known
    std::uint64_t seed = 0;
    unsigned threads = 1;
};

struct Projection {
    Distribution coins;       // net coins over the next games
    Distribution kyen;        // net result in thousand yen, as the money summary reckons a session
    std::vector<Band> bands;  // at checkpoints through the next games
};

inline constexpr std::int64_t kKnowHorizon = 100000;
inline constexpr double kKnowLow = 0.1, kKnowHigh = 0.9;

struct UntilKnown {
    // Further games until P(setting 5 or 6) is above 0.9 or below 0.1 (0: it is already);
    // nothing where the percentile lies beyond the horizon.
    std::optional<double> median, p10, p90;
    double highShare = 0;     // continuations that ended above 0.9
    double lowShare = 0;      // ... below 0.1
    double neitherShare = 0;  // ... in between after kKnowHorizon games
};

struct ContinuationResult {
    std::optional<Projection> projection;
    std::optional<UntilKnown> untilKnown;
};

// Nothing when stopped through `control`.
std::optional<ContinuationResult> Continue(const ContinuationPlan& plan, RunControl* control);

}  // namespace taviro::stats
