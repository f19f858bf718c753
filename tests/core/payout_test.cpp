#include "core/payout.h"

#include <gtest/gtest.h>

namespace taviro {
namespace {

SimulationState DefaultCoins(std::int32_t games) {
    SimulationState s;
    s.GameCount = games, s.OutNBIG = 401.650, s.OutHBIG = 548.011, s.OutREG = 127.000;
    s.BaseN = -1.5603781019, s.BaseAR = 1.5842163960;
    return s;
}

TEST(ComputePayout, WorkedExamples) {
    SimulationState s = DefaultCoins(8000);
    s.CntNBIG = 10, s.CntHBIG = 2, s.CntREG = 9, s.CntARGames = 300;
    ComputePayout(s);
    EXPECT_NEAR(s.VirtualOut, -5284.12446583, 1e-8);
    EXPECT_NEAR(s.Payout, 77.98281472570834, 1e-12);

    // BaseN, PAYOUT, and games: the virtual coin-out is written for runs of any size.
    const std::tuple<double, double, std::int32_t> stakes[] = {
        {-1.5603781019, 47.98739660333333, 9999999}, {0, 100, 10000000}, {-3, 0, 2147483647}};
    for (const auto& [base, payout, games] : stakes) {
        SimulationState plain = DefaultCoins(games);
        plain.BaseN = base, plain.VirtualOut = 12345;  // an earlier run's value must not survive
        ComputePayout(plain);
        EXPECT_DOUBLE_EQ(plain.Payout, payout) << base;
        EXPECT_DOUBLE_EQ(plain.VirtualOut, games * base);
    }
}

}  // namespace
}  // namespace taviro
