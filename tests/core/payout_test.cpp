#include "payout.h"

#include <gtest/gtest.h>

#include "parameters.h"
#include "run_simulation.h"
#include "uniform_source.h"

namespace taviro {
namespace {

SimulationState DefaultCoins(std::int32_t games) {
    SimulationState s;
    s.GameCount = games;
    s.OutNBIG = 401.650;
    s.OutHBIG = 548.011;
    s.OutREG = 127.000;
    s.BaseN = -1.5603781019;
    s.BaseAR = 1.5842163960;
    return s;
}

TEST(ComputePayout, WorkedExamples) {
    SimulationState s = DefaultCoins(8000);
    s.CntNBIG = 10;
    s.CntHBIG = 2;
    s.CntREG = 9;
    s.CntARGames = 300;
    ComputePayout(s);
    EXPECT_NEAR(s.VirtualOut, -5284.12446583, 1e-8);
    EXPECT_NEAR(s.Payout, 77.98281472570834, 1e-12);

    SimulationState plain = DefaultCoins(8000);
    ComputePayout(plain);
    EXPECT_DOUBLE_EQ(plain.Payout, 47.98739660333333);
    EXPECT_EQ(plain.VirtualOut, 8000 * plain.BaseN);
}

TEST(ComputePayout, StakeOfThreeCoins) {
    SimulationState even = DefaultCoins(10);
    even.BaseN = 0;
    ComputePayout(even);
    EXPECT_EQ(even.Payout, 100);
    SimulationState lost = DefaultCoins(10);
    lost.BaseN = -3;
    ComputePayout(lost);
    EXPECT_EQ(lost.Payout, 0);
}

TEST(ComputePayout, VirtualOutIsWrittenForEveryRunSize) {
    for (std::int32_t games : {9999999, 10000000, 2147483647}) {
        SimulationState s = DefaultCoins(games);
        s.VirtualOut = 12345;  // an earlier run's value must not survive
        ComputePayout(s);
        EXPECT_DOUBLE_EQ(s.VirtualOut, games * s.BaseN) << games;
    }
}

TEST(ComputePayout, VirtualOutMatchesTheFinalBalance) {
    SimulationState s;
    s.KeepsHistory = true;
    ParameterTexts texts;
    texts.TexGAME = "100000";
    ASSERT_EQ(LoadParameters(s, texts), LoadStatus::Loaded);
    ClockSeededSource source(7);
    RunSimulation(s, source);
    EXPECT_NEAR(s.VirtualOut, s.Balance.back(), 1e-6);
}

}  // namespace
}  // namespace taviro
