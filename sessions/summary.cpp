#include "sessions/summary.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace taviro::stats {

namespace {

double ToPayout(double netPerGame) {
    return (netPerGame + 3) * 100 / 3;
}

}  // namespace

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
    // Seven values per session: SessionsMemoryBytes counts them.
    std::vector<double> perGame, coins, net, notes, bigs, regs, ar;
    for (auto* values : {&perGame, &coins, &net, &notes, &bigs, &regs, &ar}) {
        values->reserve(s.results.size());
    }
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
