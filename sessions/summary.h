// Figures over the sessions of one setting.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/distribution.h"
#include "sessions/sessions.h"

namespace taviro::stats {

struct PayoutEstimate {
    double payout = 0;                // percent, over all games played
    std::optional<double> low, high;  // 95% confidence interval; needs two sessions or more
};

// From each session's expected net coins per game (all sessions have the same game count).
PayoutEstimate LongRunPayout(const std::vector<double>& netPerGame);

struct SettingFigures {
    int setting = 0;
    std::int64_t sessions = 0;  // completed
    PayoutEstimate payout;
    double meanBigs = 0, meanRegs = 0, meanArGames = 0;
    Distribution netCoins, netResult, investment;
};

// Nothing when no session of the setting completed.
std::optional<SettingFigures> Summarize(const SettingSessions& s);

}  // namespace taviro::stats
