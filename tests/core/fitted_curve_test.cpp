#include "core/fitted_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <random>

namespace taviro {
namespace {

TEST(FittedScale, FirstAndLastGameLowestAndHighestBalanceOnTheEdges) {
    struct Case {
        std::int64_t games;
        double low, high;
        PixelRect area;
    };
    const Case cases[] = {
        {8000, -2345.5, 6000, {67, 60, 733, 535}},
        {2147483647, -3e9, 1e7, {134, 120, 1467, 1071}},
        {1, -1.56, 0, {0, 0, 1, 1}},
        {5, -1e308, 1e308, {10, 10, 20, 20}},
    };
    for (const Case& c : cases) {
        const FittedScale scale(c.games, {c.low, c.high}, c.area);
        SCOPED_TRACE(c.games);
        EXPECT_EQ(scale.Column(0), c.area.left);
        EXPECT_EQ(scale.Column(c.games), c.area.right);
        EXPECT_EQ(scale.Row(c.high), c.area.top);
        EXPECT_EQ(scale.Row(c.low), c.area.bottom);
        for (int column = c.area.left + 1; column <= c.area.right; ++column) {
            const std::int64_t first = scale.FirstGameFrom(column);
            EXPECT_GE(scale.Column(first), column);
            EXPECT_LT(scale.Column(first - 1), column);
        }
    }
    const FittedScale flat(10, {0, 0}, {0, 0, 10, 20});  // one coin either side
    EXPECT_EQ(flat.Row(0), 10);
}

TEST(FittedScale, GridAtRoundValues) {
    struct Case {
        std::int64_t games;
        double low, high;
        std::vector<std::string> balances;  // bottom to top
        std::vector<std::string> games_;
    };
    const Case cases[] = {
        {8000,
         -2345.5,
         6000,
         {"-2000", "0", "2000", "4000", "6000"},
         {"2000", "4000", "6000", "8000"}},
        {1000000,
         -2000,
         45000,
         {"0", "1万", "2万", "3万", "4万"},
         {"20万", "40万", "60万", "80万", "100万"}},
        {100000000,
         -3.2e6,
         5e5,
         {"-300万", "-200万", "-100万", "0"},
         {"2000万", "4000万", "6000万", "8000万", "1億"}},
        {200000000,
         0,
         3e8,
         {"0", "5000万", "1億", "1.5億", "2億", "2.5億", "3億"},
         {"5000万", "1億", "1.5億", "2億"}},
        {3, -4.68, 0, {"-4", "-3", "-2", "-1", "0"}, {"1", "2", "3"}},
        {1, -1.56, 0, {"-1.5", "-1", "-0.5", "0"}, {"1"}},
    };
    const PixelRect area = {67, 60, 733, 535};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.games);
        const FittedScale scale(c.games, {c.low, c.high}, area);
        std::vector<std::string> texts;
        int previous = area.bottom + 1;
        for (const AxisMark& mark : BalanceMarks(scale)) {
            texts.push_back(mark.text);
            EXPECT_EQ(mark.zero, mark.text == "0");
            EXPECT_LT(mark.position, previous);
            EXPECT_GE(mark.position, area.top);
            previous = mark.position;
        }
        EXPECT_EQ(texts, c.balances);
        texts.clear();
        for (const AxisMark& mark : GameMarks(scale)) {
            texts.push_back(mark.text);
            EXPECT_LE(mark.position, area.right);
        }
        EXPECT_EQ(texts, c.games_);
    }
}

TEST(FittedStrokes, OneSegmentPerGameWhereGamesArePixelsApart) {
    const std::vector<double> balance = {0, -10, 10, 4.4};
    const BalanceEnvelope envelope(balance);
    struct Case {
        int right;
        int expected[3][4];
    };
    const Case cases[] = {{10, {{0, 10, 3, 20}, {3, 20, 7, 0}, {7, 0, 10, 6}}},
                          {3, {{0, 10, 1, 20}, {1, 20, 2, 0}, {2, 0, 3, 6}}}};
    for (const Case& c : cases) {
        const std::vector<Stroke> strokes =
            FittedStrokes(balance, envelope, FittedScale(3, {-10, 10}, {0, 0, c.right, 20}));
        ASSERT_EQ(strokes.size(), 3u);
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ((std::vector{strokes[i].from.x, strokes[i].from.y, strokes[i].to.x,
                                   strokes[i].to.y}),
                      (std::vector<int>(c.expected[i], c.expected[i] + 4)));
        }
    }
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
        const BalanceEnvelope envelope(balance);
        BalanceExtent whole;
        for (double b : balance) whole.Add(b);
        EXPECT_EQ(envelope.Whole().low, whole.low);
        EXPECT_EQ(envelope.Whole().high, 1e6);
        const PixelRect area = {20, 5, 320, 400};
        const FittedScale scale(games, envelope.Whole(), area);
        std::map<int, BalanceExtent> columns;  // what one segment per game would cover
        for (std::int64_t g = 0; g <= games; ++g) {
            columns[scale.Column(g)].Add(balance[g]);
            if (g > 0) columns[scale.Column(g)].Add(balance[g - 1]);
        }
        const std::vector<Stroke> strokes = FittedStrokes(balance, envelope, scale);
        ASSERT_EQ(strokes.size(), columns.size());
        std::size_t i = 0;
        for (const auto& [column, extent] : columns) {
            EXPECT_EQ(strokes[i].from.x, column);
            EXPECT_EQ(strokes[i].to.x, column);
            EXPECT_EQ(strokes[i].from.y, scale.Row(extent.high)) << column;
            EXPECT_EQ(strokes[i].to.y, scale.Row(extent.low)) << column;
            EXPECT_TRUE(area.Contains(strokes[i].from) && area.Contains(strokes[i].to));
            ++i;
        }
    }
}

}  // namespace
}  // namespace taviro
