#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>

#include "parameters.h"
#include "run_simulation.h"
#include "scripted_source.h"
#include "stock_queue.h"

namespace taviro {
namespace {

using testing::ScriptedSource;

constexpr std::int32_t kNothing = 100000;  // above every threshold of setting 1
constexpr std::int32_t kPlainBig = 100;
constexpr std::int32_t kBigAr150 = 8000;
constexpr std::int32_t kBigAr1000 = 15600;
constexpr std::int32_t kReg = 20000;
constexpr double kBaseN = -1.5603781019;
constexpr double kBaseAR = 1.5842163960;

SimulationState PlayScripted(std::vector<std::int32_t> draws, std::int32_t games,
                             bool history = true, ParameterTexts texts = {}) {
    SimulationState s;
    s.KeepsHistory = history;
    texts.TexGAME = std::to_string(games);
    EXPECT_EQ(LoadParameters(s, texts), LoadStatus::Loaded);
    ScriptedSource source(std::move(draws), kNothing);
    RunSimulation(s, source);
    EXPECT_EQ(source.Consumed(), static_cast<std::size_t>(std::max(games, 0)));
    return s;
}

std::vector<std::int32_t> DrawsAt(std::initializer_list<std::pair<int, std::int32_t>> games) {
    std::vector<std::int32_t> draws;
    for (const auto& [game, draw] : games) {
        draws.resize(std::max<std::size_t>(draws.size(), game), kNothing);
        draws[game - 1] = draw;
    }
    return draws;
}

TEST(GameLoop, WorkedTrace) {
    const SimulationState s = PlayScripted({100000, 8000, 20000}, 200);
    EXPECT_EQ(s.Balance[0], 0);
    EXPECT_EQ(s.Balance[1], kBaseN);
    EXPECT_EQ(s.GameLog.Text(1), "");
    EXPECT_EQ(s.GameLog.Text(2), "NBIG AR150");
    EXPECT_EQ(s.Balance[2], (s.Balance[1] + kBaseN) + 401.65);
    EXPECT_NEAR(s.Balance[2], 398.5292437962, 1e-10);
    EXPECT_EQ(s.GameLog.Text(3), "(REGストック）");
    EXPECT_EQ(s.Balance[3], s.Balance[2] + kBaseAR);
    EXPECT_NEAR(s.Balance[3], 400.1134602, 1e-7);
    EXPECT_EQ(s.GameLog.Text(151), "");
    EXPECT_EQ(s.GameLog.Text(152), "AR終了");
    EXPECT_NEAR(s.Balance[152], 636.1617032, 1e-7);
    EXPECT_EQ(s.GameLog.Text(153), "REG");
    EXPECT_EQ(s.Balance[153], (s.Balance[152] + kBaseN) + 127.0);
    EXPECT_NEAR(s.Balance[153], 761.6013251, 1e-7);
    EXPECT_EQ(s.GameLog.Text(200), "シミュレート終了");
    EXPECT_EQ(s.CntAR150, 1);
    EXPECT_EQ(s.CntNBIG, 1);
    EXPECT_EQ(s.CntREG, 1);
    EXPECT_EQ(s.CntARGames, 150);
    EXPECT_EQ(s.RegStock, 0);
    EXPECT_EQ(s.MinBalance, static_cast<float>(kBaseN));
    EXPECT_EQ(s.GameNo, 200);
    EXPECT_EQ(s.Draw, kNothing);
}

TEST(GameLoop, RegionBoundariesOfSettingOne) {
    struct Case {
        std::int32_t draw;
        const char* text;
        std::int32_t ar150, ar1000, reg;
    };
    const Case cases[] = {
        {1, "NBIG", 0, 0, 0},
        {7830, "NBIG", 0, 0, 0},
        {7831, "NBIG AR150", 1, 0, 0},
        {15525, "NBIG AR150", 1, 0, 0},
        {15526, "NBIG AR1000", 0, 1, 0},
        {15660, "NBIG AR1000", 0, 1, 0},
        {15661, "REG", 0, 0, 1},
        {24824, "REG", 0, 0, 1},
        {24825, "", 0, 0, 0},
        {LOTTERY_SPACE, "", 0, 0, 0},
    };
    for (const auto& c : cases) {
        const SimulationState s = PlayScripted({c.draw}, 1);
        EXPECT_EQ(s.Draw, c.draw);
        EXPECT_EQ(s.GameLog.Text(1), std::string(c.text) + "シミュレート終了") << c.draw;
        EXPECT_EQ(s.CntAR150, c.ar150) << c.draw;
        EXPECT_EQ(s.CntAR1000, c.ar1000) << c.draw;
        EXPECT_EQ(s.CntREG, c.reg) << c.draw;
        EXPECT_EQ(s.StockPos, 1) << c.draw;
    }
}

TEST(GameLoop, PlainBigInNormalPlayIsPaidAtOnce) {
    const SimulationState s = PlayScripted(DrawsAt({{5, kPlainBig}}), 10);
    EXPECT_EQ(s.GameLog.Text(5), "NBIG");
    EXPECT_EQ(s.Balance[5], (s.Balance[4] + kBaseN) + 401.65);
    EXPECT_EQ(s.CntNBIG, 1);
    EXPECT_EQ(s.StockPos, 1);
    EXPECT_EQ(s.CntARGames, 0);
}

TEST(GameLoop, ArCoversTheGamesAfterThePayment) {
    const SimulationState s = PlayScripted(DrawsAt({{10, kBigAr150}}), 170);
    EXPECT_EQ(s.GameLog.Text(10), "NBIG AR150");
    EXPECT_EQ(s.Balance[11], s.Balance[10] + kBaseAR);
    EXPECT_EQ(s.Balance[160], s.Balance[159] + kBaseAR);
    EXPECT_EQ(s.GameLog.Text(160), "AR終了");
    EXPECT_EQ(s.Balance[161], s.Balance[160] + kBaseN);
    EXPECT_EQ(s.CntARGames, 150);
    EXPECT_EQ(s.ARMode, 0);

    const SimulationState long_ar = PlayScripted(DrawsAt({{1, kBigAr1000}}), 1100);
    EXPECT_EQ(long_ar.GameLog.Text(1001), "AR終了");
    EXPECT_EQ(long_ar.CntARGames, 1000);
    EXPECT_EQ(long_ar.CntAR1000, 1);
}

TEST(GameLoop, BigOnTheLastArGameIsPaidNextAsHyper) {
    const SimulationState s = PlayScripted(DrawsAt({{10, kBigAr150}, {160, kPlainBig}}), 170);
    EXPECT_EQ(s.GameLog.Text(160), "(BIGストック）AR終了");
    EXPECT_EQ(s.GameLog.Text(161), "HBIG");
    EXPECT_EQ(s.Balance[161], (s.Balance[160] + kBaseN) + 548.011);
    EXPECT_EQ(s.CntHBIG, 1);
}

TEST(GameLoop, HeldRegsGoBeforeHeldAndNewBigs) {
    const SimulationState s = PlayScripted(
        DrawsAt({{1, kBigAr150}, {5, kReg}, {6, kReg}, {7, kPlainBig}, {152, kPlainBig}}), 160);
    EXPECT_EQ(s.GameLog.Text(5), "(REGストック）");
    EXPECT_EQ(s.GameLog.Text(7), "(BIGストック）");
    EXPECT_EQ(s.GameLog.Text(151), "AR終了");
    EXPECT_EQ(s.GameLog.Text(152), "REG");  // the new BIG waits behind the held one
    EXPECT_EQ(s.GameLog.Text(153), "REG");
    EXPECT_EQ(s.GameLog.Text(154), "HBIG");
    EXPECT_EQ(s.GameLog.Text(155), "NBIG");
    EXPECT_EQ(s.CntREG, 2);
    EXPECT_EQ(s.CntHBIG, 1);
    EXPECT_EQ(s.CntNBIG, 2);
}

TEST(GameLoop, HeldBigsArePaidInOrderAcrossArPeriods) {
    // AR over 2..151 holds an AR150 BIG, a plain BIG and an AR1000 BIG; each AR bonus paid
    // starts the next period, and the held entries wait through it.
    const SimulationState s = PlayScripted(
        DrawsAt({{1, kBigAr150}, {20, kBigAr150}, {30, kPlainBig}, {40, kBigAr1000}}), 1500);
    EXPECT_EQ(s.GameLog.Text(20), "(BIG AR150ストック）");
    EXPECT_EQ(s.GameLog.Text(40), "(BIG AR1000ストック）");
    EXPECT_EQ(s.GameLog.Text(152), "HBIG AR150");  // AR over 153..302
    EXPECT_EQ(s.GameLog.Text(302), "AR終了");
    EXPECT_EQ(s.GameLog.Text(303), "HBIG");
    EXPECT_EQ(s.GameLog.Text(304), "HBIG AR1000");  // AR over 305..1304
    EXPECT_EQ(s.GameLog.Text(1304), "AR終了");
    EXPECT_EQ(s.CntARGames, 150 + 150 + 1000);
    EXPECT_EQ(s.CntHBIG, 3);
    EXPECT_EQ(s.CntAR150, 2);
    EXPECT_EQ(s.CntAR1000, 1);
    EXPECT_EQ(s.StockPos, 1);
}

TEST(GameLoop, RunEndingInArCountsHeldHyperBigsOnly) {
    const SimulationState s = PlayScripted(
        DrawsAt({{1, kBigAr1000}, {2, kPlainBig}, {3, kBigAr150}, {4, kBigAr1000}, {5, kReg}}), 10);
    EXPECT_EQ(s.ARMode, 1);
    EXPECT_EQ(s.ARLeft, 1000 - 9);
    EXPECT_EQ(s.LsBIG, 3);
    EXPECT_EQ(s.LsAR150, 1);
    EXPECT_EQ(s.LsAR1000, 1);
    EXPECT_EQ(s.RegStock, 1);
    EXPECT_EQ(s.CntAR150, 1);
    EXPECT_EQ(s.CntAR1000, 2);
    EXPECT_EQ(s.GameLog.Text(10), "シミュレート終了");

    // A normal BIG still queued behind a waiting REG is not counted.
    const SimulationState queued =
        PlayScripted(DrawsAt({{1, kBigAr150}, {2, kReg}, {3, kReg}, {152, kPlainBig}}), 152);
    EXPECT_EQ(queued.GameLog.Text(152), "REGシミュレート終了");
    EXPECT_EQ(queued.Stock[1], kNormalBig);
    EXPECT_EQ(queued.LsBIG, 0);
    EXPECT_EQ(queued.RegStock, 1);
}

TEST(GameLoop, BalanceThatNeverFallsKeepsMinimumZero) {
    ParameterTexts texts;
    texts.TexN_BASE = "0.5";
    EXPECT_EQ(PlayScripted({}, 50, true, texts).MinBalance, 0.0f);
}

TEST(GameLoop, NegativeAndSingleGameRuns) {
    for (bool history : {true, false}) {
        const SimulationState s = PlayScripted({}, -5, history);
        EXPECT_EQ(s.CntNBIG + s.CntHBIG + s.CntREG + s.CntARGames, 0);
        EXPECT_EQ(s.VirtualOut, -5 * kBaseN);
        EXPECT_NEAR(s.Payout, 47.98739660333333, 1e-12);
        EXPECT_EQ(s.Balance.size(), history ? 1u : 0u);
        if (history) {
            EXPECT_EQ(s.GameLog.Text(0), "");
        }
    }
    const SimulationState one = PlayScripted({kNothing}, 1);
    EXPECT_EQ(one.GameLog.Text(1), "シミュレート終了");
    EXPECT_EQ(one.GameLog.Text(0), "");
}

TEST(StockQueue, FullQueueSaturatesAndStaysConsistent) {
    SimulationState s;
    s.StockPos = 1;
    for (int i = 0; i < kStockSlots; ++i) PushStock(s, i % 6 + 1);
    EXPECT_EQ(s.StockPos, kStockSlots);
    EXPECT_EQ(s.Stock[kStockSlots], (kStockSlots - 1) % 6 + 1);
    PushStock(s, kHyperBigAr1000);  // replaces the newest entry
    EXPECT_EQ(s.StockPos, kStockSlots);
    EXPECT_EQ(s.Stock[kStockSlots], kHyperBigAr1000);

    EXPECT_EQ(ReleaseStock(s), kNormalBig);
    EXPECT_EQ(s.Stock[kStockSlots], kEmpty);
    EXPECT_EQ(s.Stock[kStockSlots - 1], kHyperBigAr1000);
    EXPECT_EQ(s.StockPos, kStockSlots);  // the first empty slot

    PushStock(s, kHyperBig);
    EXPECT_EQ(s.Stock[kStockSlots], kHyperBig);
    EXPECT_EQ(s.Stock[kStockSlots - 1], kHyperBigAr1000);  // not overwritten
    ReleaseStock(s);
    ReleaseStock(s);  // now below full: StockPos moves down again
    EXPECT_EQ(s.StockPos, kStockSlots - 1);
    EXPECT_EQ(s.Stock[kStockSlots - 1], kEmpty);
    EXPECT_EQ(s.Stock[kStockSlots - 2], kHyperBig);
    EXPECT_EQ(s.Stock[kStockSlots - 3], kHyperBigAr1000);
    EXPECT_EQ(s.Stock[1], 4);  // entries 4, 5, ... follow in order
    EXPECT_EQ(s.Stock[2], 5);
}

TEST(StockQueue, RunWithAlwaysBigKeepsTheQueueConsistent) {
    // Every game draws a BIG: an AR1000 period fills the queue far beyond 255 entries.
    ParameterTexts texts;
    texts.TexBIG = "1";
    std::vector<std::int32_t> draws = {LOTTERY_SPACE};  // AR1000, paid in game 1
    draws.resize(3000, 1);                              // plain BIGs afterwards
    SimulationState s;
    s.KeepsHistory = true;
    texts.TexGAME = "3000";
    ASSERT_EQ(LoadParameters(s, texts), LoadStatus::Loaded);
    ScriptedSource source(draws, 1);
    RunSimulation(s, source);
    EXPECT_EQ(s.CntARGames, 1000);
    // Each normal game pushes into slot 255 and pays the head: 254 entries stay, and the
    // first empty slot is 255.
    EXPECT_EQ(s.StockPos, kStockSlots);
    EXPECT_EQ(s.Stock[kStockSlots], kEmpty);
    const auto held =
        std::count_if(s.Stock.begin() + 1, s.Stock.end(), [](auto k) { return k != 0; });
    EXPECT_EQ(held, kStockSlots - 1);
    // 255 hyper BIGs were held; the first push after the AR replaced one of them.
    EXPECT_EQ(s.CntHBIG, 254);
    EXPECT_EQ(s.CntNBIG, 1 + (2000 - 1 - 254));
    EXPECT_EQ(s.LsBIG, 0);
}

}  // namespace
}  // namespace taviro
