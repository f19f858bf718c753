// Figures over the sessions of one setting.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "stats/sessions.h"

namespace taviro::stats {

struct Distribution {
    double mean = 0;
    double sd = 0;          // sample standard deviation (n − 1)
    double aheadShare = 0;  // share of values above 0
    double p5 = 0, p25 = 0, p50 = 0, p75 = 0, p95 = 0;
    double min = 0, max = 0;
};

// The p-th percentile (0 to 100) of sorted values, interpolating linearly between neighbours.
double Percentile(const std::vector<double>& sorted, double p);

// values must not be empty; when one of them is not a finite number, every figure is NaN.
Distribution Describe(std::vector<double> values);

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
