#include "uniform_source.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

#include "game_loop.h"
#include "parameters.h"
#include "recorders.h"
#include "run_simulation.h"
#include "scripted_source.h"

namespace taviro {
namespace {

TEST(UniformSource, ValuesStayBelowOne) {
    ClockSeededSource source(1);
    std::vector<float> values(1 << 20);
    source.Fill(values);
    float highest = 0;
    for (float v : values) {
        ASSERT_GE(v, 0.0f);
        ASSERT_LT(v, 1.0f);
        highest = std::max(highest, v);
    }
    EXPECT_GT(highest, 0.999f);
    // The largest value the generator can give still draws the last lottery number.
    EXPECT_EQ(DrawFromUniform(1.0f - 0x1p-24f), LOTTERY_SPACE);
    EXPECT_EQ(DrawFromUniform(0.0f), 1);
}

TEST(UniformSource, ScriptedValuesHitTheirDraws) {
    for (std::int32_t draw :
         {1, 2, 3, 7830, 7831, 24824, 24825, LOTTERY_SPACE - 1, LOTTERY_SPACE}) {
        EXPECT_EQ(DrawFromUniform(testing::UniformForDraw(draw)), draw);
    }
}

TEST(SeedSequence, QuickSuccessiveStartsNeverShareASeed) {
    SeedSequence sequence;
    std::set<std::uint64_t> seeds;
    for (int i = 0; i < 1000; ++i) seeds.insert(sequence.Next(5));  // a clock that stands still
    for (int i = 0; i < 1000; ++i) seeds.insert(sequence.Next(1000 + i / 10));
    EXPECT_EQ(seeds.size(), 2000u);

    ClockSeededSource a;
    ClockSeededSource b;
    EXPECT_NE(a.Next(), b.Next());
}

// Everything a run leaves in the state apart from the history.
auto RunFields(const SimulationState& s) {
    return std::tuple(s.VirtualOut, s.ThrBIG, s.ThrBIG_AR150, s.ThrBIG_AR1000, s.WeightBIG,
                      s.ThrREG, s.ARMode, s.ARLeft, s.Stock, s.RegStock, s.GameCount, s.Draw,
                      s.GameNo, s.StockPos, s.CntAR150, s.CntAR1000, s.CntNBIG, s.CntHBIG, s.CntREG,
                      s.CntARGames, s.LsBIG, s.LsAR150, s.LsAR1000, s.Payout);
}

TEST(LightRun, EndsInExactlyTheStateOfTheFullRun) {
    std::mt19937_64 pick(20261206);
    const char* bigs[] = {"485.452", "286.183", "30", "2", "1", "0.4", "0"};
    const char* regs[] = {"829.570", "720.176", "50", "3", "0"};
    for (int trial = 0; trial < 60; ++trial) {
        ParameterTexts texts;
        texts.TexBIG = bigs[pick() % std::size(bigs)];
        texts.TexREG = regs[pick() % std::size(regs)];
        texts.TexGAME = std::to_string(static_cast<int>(pick() % 20000) - 10);
        const std::uint64_t seed = pick();

        SimulationState full;
        full.KeepsHistory = true;
        SimulationState lite;
        ASSERT_EQ(LoadParameters(full, texts), LoadStatus::Loaded);
        ASSERT_EQ(LoadParameters(lite, texts), LoadStatus::Loaded);
        ClockSeededSource fullSource(seed);
        ClockSeededSource liteSource(seed);
        RunSimulation(full, fullSource);
        RunSimulation(lite, liteSource);
        ASSERT_TRUE(RunFields(full) == RunFields(lite))
            << texts.TexBIG << " " << texts.TexREG << " " << texts.TexGAME << " seed " << seed;
        EXPECT_TRUE(lite.Balance.empty());
        EXPECT_EQ(lite.MinBalance, 0.0f);

        // The summary recorder sees the same balances as the history.
        if (full.GameCount >= 1) {
            SimulationState again = full;
            ClockSeededSource source(seed);
            BalanceTracker tracker;
            PlayGames(again, source, tracker);
            EXPECT_EQ(tracker.Final(), full.Balance.back());
            EXPECT_EQ(tracker.Lowest(), full.MinBalance);
            float lowest = 0;
            for (double b : full.Balance) lowest = std::min(lowest, static_cast<float>(b));
            EXPECT_EQ(full.MinBalance, lowest);
        }
    }
}

}  // namespace
}  // namespace taviro
