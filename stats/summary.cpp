#include "stats/summary.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace taviro::stats {

namespace {

double Mean(const std::vector<double>& values) {
    long double sum = 0;
    for (double v : values) sum += v;
    return static_cast<double>(sum / static_cast<long double>(values.size()));
}

double SampleSd(const std::vector<double>& values, double mean) {
    if (values.size() < 2) return 0;
    long double squares = 0;
    for (double v : values) squares += static_cast<long double>(v - mean) * (v - mean);
    return std::sqrt(static_cast<double>(squares / static_cast<long double>(values.size() - 1)));
}

double ToPayout(double netPerGame) {
    return (netPerGame + 3) * 100 / 3;
}

}  // namespace

double Percentile(const std::vector<double>& sorted, double p) {
    const double position = p / 100 * static_cast<double>(sorted.size() - 1);
    const auto below = static_cast<std::size_t>(std::floor(position));
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    const double fraction = position - static_cast<double>(below);
    return sorted[below] + (sorted[above] - sorted[below]) * fraction;
}

Distribution Describe(std::vector<double> values) {
    Distribution d;
    if (!std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); })) {
        // A value beyond the number range: no figure of the distribution can be told.
        const double none = std::numeric_limits<double>::quiet_NaN();
        d.mean = d.sd = d.aheadShare = none;
        d.p5 = d.p25 = d.p50 = d.p75 = d.p95 = d.min = d.max = none;
        return d;
    }
    d.mean = Mean(values);
    d.sd = SampleSd(values, d.mean);
    const auto ahead = std::count_if(values.begin(), values.end(), [](double v) { return v > 0; });
    d.aheadShare = static_cast<double>(ahead) / static_cast<double>(values.size());
    std::sort(values.begin(), values.end());
    d.p5 = Percentile(values, 5);
    d.p25 = Percentile(values, 25);
    d.p50 = Percentile(values, 50);
    d.p75 = Percentile(values, 75);
    d.p95 = Percentile(values, 95);
    d.min = values.front();
    d.max = values.back();
    return d;
}

PayoutEstimate LongRunPayout(const std::vector<double>& netPerGame) {
    const double mean = Mean(netPerGame);
    PayoutEstimate estimate;
    estimate.payout = ToPayout(mean);
    if (netPerGame.size() >= 2) {
        const double halfWidth = 1.959963984540054 * SampleSd(netPerGame, mean) /
                                 std::sqrt(static_cast<double>(netPerGame.size()));
        estimate.low = ToPayout(mean - halfWidth);
        estimate.high = ToPayout(mean + halfWidth);
    }
    return estimate;
}

std::optional<SettingFigures> Summarize(const SettingSessions& s) {
    std::vector<double> perGame, coins, net, notes, bigs, regs, ar;
    for (std::size_t i = 0; i < s.results.size(); ++i) {
        if (!s.done[i]) continue;
        const SessionResult& r = s.results[i];
        perGame.push_back(r.virtualOut / s.prepared.GameCount);
        coins.push_back(r.finalBalance);
        net.push_back(r.netResult);
        notes.push_back(r.investment);
        bigs.push_back(r.bigs);
        regs.push_back(r.regs);
        ar.push_back(r.arGames);
    }
    if (perGame.empty()) return std::nullopt;
    SettingFigures f;
    f.setting = s.setting;
    f.sessions = static_cast<std::int64_t>(perGame.size());
    f.payout = LongRunPayout(perGame);
    f.meanBigs = Mean(bigs);
    f.meanRegs = Mean(regs);
    f.meanArGames = Mean(ar);
    f.netCoins = Describe(std::move(coins));
    f.netResult = Describe(std::move(net));
    f.investment = Describe(std::move(notes));
    return f;
}

}  // namespace taviro::stats
