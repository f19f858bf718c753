#include "sessions/sessions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <system_error>

#include "core/distribution.h"
#include "core/money_summary.h"
#include "core/numbers.h"
#include "core/run_simulation.h"
#include "sessions/session_curves.h"
#include "sessions/summary.h"
#include "support/scripted_source.h"

namespace taviro::stats {
namespace {

bool SameResults(const std::vector<SettingSessions>& a, const std::vector<SettingSessions>& b) {
    for (std::size_t s = 0; s < a.size(); ++s) {
        if (a[s].done != b[s].done || a[s].results != b[s].results) return false;
    }
    return true;
}

std::vector<SettingSessions> PlayWith(unsigned threads, const ThreadStarter& start = StartThread) {
    std::vector<SettingSessions> settings;
    for (int setting : {2, 6}) {
        ParameterTexts texts;
        const auto preset = SettingPreset(std::to_string(setting));
        texts.TexBIG = preset->big, texts.TexREG = preset->reg, texts.TexGAME = "3000";
        settings.emplace_back(setting, PreparedState(texts, false).value());
    }
    Progress progress(threads);
    PlayAllSessions(settings, 37, 12345, 5, threads, progress, start);
    EXPECT_EQ(progress.games.load(), 2u * 37 * 3000);
    // The sessions under way are counted until they complete, and never twice.
    EXPECT_EQ(progress.GamesPlayed(), 2u * 37 * 3000);
    return settings;
}

TEST(Sessions, SameSeedSameResultsWhateverTheThreads) {
    const auto one = PlayWith(1);
    EXPECT_TRUE(SameResults(one, PlayWith(2)));
    EXPECT_TRUE(SameResults(one, PlayWith(5)));
    EXPECT_NE(one[0].results[0].finalBalance, one[0].results[1].finalBalance);
    EXPECT_NE(SessionSeed(1, 2, 0), SessionSeed(1, 3, 0));
    EXPECT_NE(SessionSeed(1, 2, 0), SessionSeed(2, 2, 0));
    // Threads the system refuses are done without.
    int started = 0;
    const ThreadStarter refuseAfterOne = [&](std::function<void()> work) {
        if (started++ == 1)
            throw std::system_error(
                std::make_error_code(std::errc::resource_unavailable_try_again));
        return StartThread(std::move(work));
    };
    std::vector<SettingSessions> settings = PlayWith(1);
    Progress progress;
    EXPECT_EQ(PlayAllSessions(settings, 37, 12345, 5, 8, progress, refuseAfterOne), 2u);
    EXPECT_TRUE(SameResults(settings, one));
}

// Two normal BIGs, one with an AR that holds a BIG and a REG; at 1e308 coins a BIG, no net result.
TEST(Sessions, ASessionIsTheFullEditionsRunOfItsDraws) {
    for (const char* coins : {"401.65", "1e308"}) {
        ParameterTexts texts;
        texts.TexGAME = "200", texts.TexNBIG = coins;
        const std::vector<std::int32_t> draws = {100, 8000, 100, 20000};
        test_support::ScriptedSource fullSource(draws, 100000), sessionSource(draws, 100000);
        SimulationState full = PreparedState(texts, true).value();
        RunSimulation(full, fullSource);
        const SessionResult r = PlaySession(PreparedState(texts, false).value(), sessionSource, 5);
        SCOPED_TRACE(coins);
        EXPECT_EQ((std::array<std::int64_t, 3>{r.bigs, r.regs, r.arGames}),
                  (std::array<std::int64_t, 3>{full.CntNBIG + full.CntHBIG, full.CntREG,
                                               full.CntARGames}));
        EXPECT_EQ((std::array<double, 3>{r.finalBalance, r.lowestBalance, r.virtualOut}),
                  (std::array<double, 3>{full.History.Balance(full.GameCount), full.MinBalance,
                                         full.VirtualOut}));
        const MoneySummary shown = ComputeMoneySummary(full.MinBalance, full.VirtualOut, "5");
        EXPECT_EQ(FormatNumber(static_cast<float>(r.investment)) + "千円", shown.investment);
        EXPECT_EQ(std::isnan(r.netResult) ? std::nullopt
                                          : std::optional(FormatNumber(r.netResult) + "千円"),
                  shown.netResult);
    }
}

TEST(Sessions, SummaryAndMemoryOfTheCompletedSessions) {
    std::vector<SettingSessions> settings = PlayWith(1);
    double bigs = 0, regs = 0, ar = 0, perGame = 0, coins = 0, notes = 0, net = 0;
    for (const SessionResult& r : settings[1].results) {
        bigs += r.bigs, regs += r.regs, ar += r.arGames, perGame += r.virtualOut / 3000;
        coins += r.finalBalance, notes += r.investment, net += r.netResult;
    }
    const SettingFigures f = Summarize(settings[1]).value();
    EXPECT_EQ(f.sessions, 37);
    const double means[] = {f.meanBigs,      f.meanRegs,        f.meanArGames,
                            f.netCoins.mean, f.investment.mean, f.netResult.mean};
    const double sums[] = {bigs, regs, ar, coins, notes, net};
    for (std::size_t k = 0; k < 6; ++k) EXPECT_NEAR(means[k], sums[k] / 37, 1e-9) << k;
    EXPECT_NEAR(f.payout.payout, (perGame / 37 + 3) * 100 / 3, 1e-9);
    // The memory estimate is what the sessions keep.
    for (bool curves : {false, true}) {
        std::uint64_t kept = 37 * 7 * sizeof(double);  // the values a summary sorts
        for (SettingSessions& s : settings) {
            if (curves) s.checkpoints = Checkpoints(3000, 50);
            kept += s.results.capacity() * sizeof(SessionResult) + s.done.capacity() +
                    37 * s.checkpoints.size() * sizeof(float);
        }
        if (curves) kept += 37 * 3 * kColumnsPerTask * sizeof(float);  // percentile columns
        EXPECT_EQ(SessionsMemoryBytes(settings, 37, 3), kept) << curves;
        EXPECT_EQ(SessionsMemoryBytes(settings, 74, 3), 2 * kept) << curves;
    }
    // Stopped before any session completes: nothing to summarise.
    Progress progress;
    progress.stop = true;
    PlayAllSessions(settings, 37, 12345, 5, 2, progress);
    EXPECT_FALSE(Summarize(settings[0]));
}

std::vector<double> Points(const Band& b) {
    return {b.p5, b.p25, b.p50, b.p75, b.p95};
}

TEST(SessionCurves, BandsAreThePercentilesOfTheSortedValues) {
    std::mt19937 random(7);
    std::normal_distribution<float> spread(0, 1000);
    // Few values give several percentiles the same ranks, out of order.
    std::vector<std::vector<float>> cases = {
        {5}, {2, -1}, {-40, 10, 300}, {3, 3, 3, 3}, {9, 1, 4, 7, 2}};
    for (int n : {5, 101, 10000}) {
        std::vector<float> values(static_cast<std::size_t>(n));
        for (float& v : values) v = spread(random);
        cases.push_back(values);
        for (float& v : values) v = std::round(v / 500) * 500;  // many equal values
        cases.push_back(values);
    }
    for (const std::vector<float>& values : cases) {
        std::vector<double> sorted(values.begin(), values.end());
        std::sort(sorted.begin(), sorted.end());
        std::vector<double> expected;
        for (double p : {5, 25, 50, 75, 95}) expected.push_back(Percentile(sorted, p));
        EXPECT_EQ(Points(BandOf(values)), expected) << values.size();
    }
    EXPECT_TRUE(
        std::isnan(BandOf(std::vector<float>{1, std::numeric_limits<float>::infinity()}).p50));
}

}  // namespace
}  // namespace taviro::stats
