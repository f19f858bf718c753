#include "core/graph_description.h"

#include <gtest/gtest.h>

#include "support/history_of.h"

namespace taviro {
namespace {

TEST(GraphDescription, GamesShownLastLowestAndHighestBalance) {
    SimulationState s;
    s.GameCount = 3;
    s.History = test_support::HistoryOf({0, -150.4, 20.5, -1234.5});
    s.MinBalance = -1234.5f;
    EXPECT_EQ(GraphDescription(s, 10000), "3ゲームの差枚数の推移：最終 -1234枚、最低 -1234枚");
    EXPECT_EQ(FittedGraphDescription(s, 20.5),
              "3ゲームの差枚数の推移（全体）：最終 -1234枚、最低 -1234枚、最高 20枚");
    s.History = test_support::HistoryOf({0, -150.4, 20.5, 8000.6});
    s.MinBalance = -150.5f;
    EXPECT_EQ(GraphDescription(s, 10000), "3ゲームの差枚数の推移：最終 8001枚、最低 -150枚");
    s.GameCount = -5;  // a negative count draws nothing: game 0 only
    s.History = test_support::HistoryOf({0});
    s.MinBalance = 0;
    EXPECT_EQ(GraphDescription(s, 10000), "0ゲームの差枚数の推移：最終 0枚、最低 0枚");
}

}  // namespace
}  // namespace taviro
