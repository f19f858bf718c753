#include "estimation/bonus_machine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "core/game_loop.h"
#include "core/parameters.h"
#include "core/recorders.h"
#include "core/xoshiro_source.h"
#include "estimation/binomial_interval.h"
#include "estimation/random_draws.h"
#include "estimation/setting_odds.h"

namespace taviro::stats {
namespace {

SimulationState Prepared(const char* big, const char* reg, std::int64_t games) {
    ParameterTexts texts;
    texts.TexBIG = big, texts.TexREG = reg;
    texts.TexGAME = std::to_string(games);
    return PreparedState(texts, false).value();
}

TEST(BonusMachine, FollowsTheGameLoopDrawForDraw) {
    // Setting 1; heavy AR with long stock queues; ARs that never end, so the queue saturates.
    struct Case {
        const char* big;
        const char* reg;
        std::int64_t games;
    } const cases[] = {{"485.452", "829.570", 200000}, {"60", "90", 60000}, {"20", "30", 20000}};
    for (const Case& c : cases) {
        SimulationState s = Prepared(c.big, c.reg, c.games);
        const SimulationState prepared = s;
        XoshiroSource source(7);
        BalanceTracker tracker;
        PlayGames(s, source, tracker);

        // The same draws, fed to the machine bonus by bonus with the quiet games in stretches.
        BonusMachine m(CoinsOf(prepared));
        XoshiroSource same(7);
        std::vector<std::int32_t> draws(static_cast<std::size_t>(c.games));
        same.FillDraws(draws);
        std::int64_t quiet = 0;
        for (const std::int32_t draw : draws) {
            if (draw > prepared.ThrREG) {
                ++quiet;
                continue;
            }
            m.Idle(quiet);
            quiet = 0;
            m.Play(draw <= prepared.ThrBIG          ? Drawn::PlainBig
                   : draw <= prepared.ThrBIG_AR150  ? Drawn::Big150
                   : draw <= prepared.ThrBIG_AR1000 ? Drawn::Big1000
                                                    : Drawn::Reg);
        }
        m.Idle(quiet);
        SCOPED_TRACE(c.big);
        EXPECT_EQ((std::array{m.normalBigs, m.hyperBigs, m.regs, m.arGames}),
                  (std::array<std::int64_t, 4>{s.CntNBIG, s.CntHBIG, s.CntREG, s.CntARGames}));
        const MachineState held = m.State();
        EXPECT_EQ(held.arLeft, s.ARLeft);
        EXPECT_EQ(held.regStock, s.RegStock);
        std::vector<std::uint8_t> queue;
        for (int slot = 1; slot <= kStockSlots && s.Stock[slot] != kEmpty; ++slot) {
            queue.push_back(static_cast<std::uint8_t>(s.Stock[slot]));
        }
        EXPECT_EQ(held.queue, queue);
        // The last case really saturates the queue.
        if (c.games == 20000) {
            EXPECT_NE(s.Stock[kStockSlots], kEmpty);
        }
        EXPECT_NEAR(m.balance, tracker.Final(), 1e-9 * std::fabs(tracker.Final()) + 1e-6);
        EXPECT_NEAR(m.lowest, tracker.Lowest(), 1e-4 * std::fabs(tracker.Lowest()) + 1e-3);
    }
}

TEST(BonusMachine, StateRestoredPlaysOnAlike) {
    BonusMachine a;
    a.Play(Drawn::Big150);  // paid at once: AR for the next 150 games
    a.Idle(20);
    a.Play(Drawn::Reg);
    a.Play(Drawn::Big1000);  // held as a hyper BIG with AR1000
    BonusMachine b;
    b.Restore(a.State());
    for (BonusMachine* m : {&a, &b}) m->Idle(200);
    EXPECT_EQ(a.State(), b.State());
    EXPECT_EQ(b.regs, 1);
    EXPECT_EQ(b.hyperBigs, 1);
    EXPECT_EQ(b.ArLeft(), 1000 - (200 - 128 - 2));  // REG, then the hyper BIG, then its AR
}

TEST(DrawOrder, EveryArrangementIsEquallyLikely) {
    // Few draws among many games (drawn and kept when distinct) and many among few (a subset,
    // then the outcomes shuffled): the REG's game and its place among the draws are uniform.
    struct Case {
        std::int64_t games, bigs, regs;
    };
    for (const Case& c : {Case{100, 2, 1}, Case{6, 3, 1}}) {
        RandomDraws random(11);
        SessionDraws draws;
        std::map<std::int64_t, int> byGame, byPlace;
        constexpr int kTrials = 60000;
        for (int t = 0; t < kTrials; ++t) {
            DrawOrder(random, c.games, c.bigs, c.regs, draws);
            ASSERT_EQ(draws.packed.size(), static_cast<std::size_t>(c.bigs + c.regs));
            for (std::size_t i = 0; i < draws.packed.size(); ++i) {
                if (i > 0) {
                    ASSERT_LT(draws.packed[i - 1] >> 2, draws.packed[i] >> 2);
                }
                if ((draws.packed[i] & 3) == static_cast<int>(Drawn::Reg)) {
                    ++byGame[static_cast<std::int64_t>(draws.packed[i] >> 2)];
                    ++byPlace[static_cast<std::int64_t>(i)];
                }
            }
        }
        auto uniform = [](const std::map<std::int64_t, int>& counts, std::int64_t cells) {
            const double expected = static_cast<double>(kTrials) / static_cast<double>(cells);
            double chi2 = 0;
            for (const auto& [cell, n] : counts) chi2 += (n - expected) * (n - expected) / expected;
            // Well beyond the 99.99% point of chi-square with cells - 1 degrees of freedom.
            return counts.size() == static_cast<std::size_t>(cells) &&
                   chi2 < static_cast<double>(cells) +
                              6 * std::sqrt(2.0 * static_cast<double>(cells)) + 10;
        };
        EXPECT_TRUE(uniform(byGame, c.games)) << c.games;
        EXPECT_TRUE(uniform(byPlace, c.bigs + c.regs)) << c.games;
    }
}

TEST(RandomDraws, TheGamesToTheNextBonusCountTheGameThatDrawsIt) {
    RandomDraws random(5);
    for (int i = 0; i < 1000; ++i) ASSERT_GE(random.GamesToBonus(0.5), 1);
}

TEST(SettingOdds, LongRunPayoutOfSetting6) {
    const SimulationState prepared = Prepared("286.183", "720.176", 1);  // setting 6
    // 20 runs of 20 million games average within 0.4 of this.
    EXPECT_NEAR(LongRunPayout(OddsOf(prepared), CoinsOf(prepared)), 135.70, 0.01);
}

TEST(ClopperPearson, KnownIntervals) {
    struct Case {
        std::int64_t k, n;
        double low, high;
    } const cases[] = {
        {5, 10, 0.187086, 0.812914},          {1, 10, 0.002529, 0.445016},
        {0, 10, 0, 1 - std::pow(0.025, 0.1)}, {10, 10, std::pow(0.025, 0.1), 1},
        {12, 3000, 0.0020685, 0.0069768},  // by summing the binomial terms
    };
    for (const Case& c : cases) {
        const ChanceInterval i = ClopperPearson(c.k, c.n, 0.95);
        EXPECT_NEAR(i.low, c.low, 2e-6) << c.k << "/" << c.n;
        EXPECT_NEAR(i.high, c.high, 2e-6) << c.k << "/" << c.n;
    }
}

}  // namespace
}  // namespace taviro::stats
