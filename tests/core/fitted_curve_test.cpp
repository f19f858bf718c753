#include "core/fitted_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <random>

#include "core/parameters.h"
#include "core/run_simulation.h"
#include "core/xoshiro_source.h"
#include "support/history_of.h"

namespace taviro {
namespace {

TEST(FittedScale, FirstAndLastGameLowestAndHighestBalanceOnTheEdges) {
    const std::tuple<std::int64_t, double, double, PixelRect> cases[] = {
        {8000, -2345.5, 6000, {67, 60, 733, 535}},
        {2147483647, -3e9, 1e7, {134, 120, 1467, 1071}},
        {1, -1.56, 0, {0, 0, 1, 1}},
        {5, -1e308, 1e308, {10, 10, 20, 20}},
    };
    for (const auto& [games, low, high, area] : cases) {
        const FittedScale scale(games, {low, high}, area);
        SCOPED_TRACE(games);
        EXPECT_EQ(scale.Column(0), area.left);
        EXPECT_EQ(scale.Column(games), area.right);
        EXPECT_EQ(scale.Row(high), area.top);
        EXPECT_EQ(scale.Row(low), area.bottom);
    }
    EXPECT_EQ(FittedScale(10, {0, 0}, {0, 0, 10, 20}).Row(0), 10);  // one coin either side
}

TEST(FittedScale, GridAtRoundValues) {
    // Games, lowest and highest balance, the balance marks bottom to top and the game marks.
    const std::tuple<std::int64_t, double, double, const char*, const char*> cases[] = {
        {8000, -2345.5, 6000, "-2000 0 2000 4000 6000 ", "2000 4000 6000 8000 "},
        {1000000, -2000, 45000, "0 1万 2万 3万 4万 ", "20万 40万 60万 80万 100万 "},
        {200000000, -3.2e6, 5e5, "-300万 -200万 -100万 0 ", "5000万 1億 1.5億 2億 "},
        {1, -1.56, 0, "-1.5 -1 -0.5 0 ", "1 "},
    };
    for (const auto& [count, low, high, balanceTexts, gameTexts] : cases) {
        const FittedScale scale(count, {low, high}, {67, 60, 733, 535});
        std::string balances, games;
        int below = 536 + 50;  // each line 50 pixels or more above the one below, in the area
        for (const AxisMark& mark : BalanceMarks(scale)) {
            balances += mark.text + " ";
            EXPECT_EQ(mark.zero, mark.text == "0");
            EXPECT_GE(below - mark.position, 50);
            below = mark.position;
        }
        for (const AxisMark& mark : GameMarks(scale)) games += mark.text + " ";
        EXPECT_EQ(balances, balanceTexts);
        EXPECT_EQ(games, gameTexts);
    }
}

TEST(FittedStrokes, OneSegmentPerGameWhereGamesArePixelsApart) {
    const std::vector<double> balance = {0, -10, 10, 4.4};
    std::vector<int> ends;  // from.x, from.y, to.x, to.y of each game
    for (const Stroke& s : FittedStrokes(test_support::HistoryOf(balance),
                                         FittedScale(3, {-10, 10}, {0, 0, 3, 20}))) {
        ends.insert(ends.end(), {s.from.x, s.from.y, s.to.x, s.to.y});
    }
    EXPECT_EQ(ends, (std::vector{0, 10, 1, 20, 1, 20, 2, 0, 2, 0, 3, 6}));
}

// The strokes of each column cover what one segment per game would: the balances of its games and
// of the game before, here read from every game.
void ExpectStrokesOfEveryGame(const GameHistory& history, const std::vector<double>& balance) {
    const auto games = static_cast<std::int64_t>(balance.size()) - 1;
    const PixelRect area = {20, 5, 320, 400};
    const FittedScale scale(games, history.Whole(), area);
    std::map<int, BalanceExtent> columns;
    for (std::int64_t g = 0; g <= games; ++g) {
        columns[scale.Column(g)].Add(balance[g]);
        if (g > 0) columns[scale.Column(g)].Add(balance[g - 1]);
    }
    std::vector<int> expected, drawn;
    for (const auto& [column, extent] : columns)
        expected.insert(expected.end(), {column, scale.Row(extent.high), scale.Row(extent.low)});
    for (const Stroke& s : FittedStrokes(history, scale)) {
        EXPECT_EQ(s.from.x, s.to.x);
        EXPECT_TRUE(area.Contains(s.from)) << s.from.x << "," << s.from.y;
        EXPECT_TRUE(area.Contains(s.to)) << s.to.x << "," << s.to.y;
        drawn.insert(drawn.end(), {s.from.x, s.from.y, s.to.y});
    }
    EXPECT_EQ(drawn, expected);
}

TEST(FittedStrokes, OneStrokePerColumnOverItsGamesAndTheOneBefore) {
    std::mt19937 random(7);
    std::normal_distribution<double> step(0, 30);
    for (std::int64_t games : {301, 1000, 100000}) {
        SCOPED_TRACE(games);
        std::vector<double> balance(static_cast<std::size_t>(games) + 1, 0.0);
        for (std::size_t i = 1; i < balance.size(); ++i) balance[i] = balance[i - 1] + step(random);
        balance[games / 3] = std::numeric_limits<double>::infinity();
        balance[games / 2] = std::nan("");
        balance[games - 1] = 1e6;  // the highest, shortly before the end
        const GameHistory history = test_support::HistoryOf(balance);
        EXPECT_EQ(history.Whole().high, 1e6);
        ExpectStrokesOfEveryGame(history, balance);
    }
    // Runs whose columns hold parts of blocks, and many blocks.
    for (const char* games : {"100000", "2000000"}) {
        ParameterTexts texts;
        texts.TexGAME = games;
        SimulationState s = PreparedState(texts, true).value();
        XoshiroSource source(3);
        RunSimulation(s, source);
        ExpectStrokesOfEveryGame(s.History, test_support::ValuesOf(s.History).balances);
    }
}

}  // namespace
}  // namespace taviro
