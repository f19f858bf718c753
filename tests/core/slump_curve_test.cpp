#include "core/slump_curve.h"

#include <gtest/gtest.h>

#include <limits>

#include "support/history_of.h"

namespace taviro {
namespace {

SimulationState Curve(const std::vector<double>& balances) {
    SimulationState s;
    s.History = test_support::HistoryOf(balances);
    s.GameCount = static_cast<std::int32_t>(balances.size()) - 1;
    s.GraphX0 = 1000, s.GraphY0 = 5000, s.GraphYDiv = 2;
    return s;
}

TEST(SlumpCurve, SegmentsGoBackToThePreviousGame) {
    const SimulationState s = Curve({0, -1.5603781019, -3.1207562038, -4.6811343057});
    std::vector<float> ends;  // from.x, from.y, to.x, to.y of each segment
    ForEachVisibleSegment(s, 11370, [&](CurvePoint a, CurvePoint b) {
        ends.insert(ends.end(), {a.x, a.y, b.x, b.y});
    });
    EXPECT_EQ(ends, (std::vector<float>{1001, 5000.7802734375f, 1000, 5000, 1002, 5001.560546875f,
                                        1001, 5000.7802734375f, 1003, 5002.34033203125f, 1002,
                                        5001.560546875f}));
}

TEST(SlumpCurve, StopsAtTheRightEdgeAndSkipsNonFiniteBalances) {
    SimulationState s = Curve(std::vector<double>(20001, 0.0));
    int count = 0;
    float rightmost = 0;
    ForEachVisibleSegment(s, 11370, [&](CurvePoint a, CurvePoint) {
        ++count;
        rightmost = a.x;
    });
    EXPECT_EQ(count, 10371);  // game 10371 still starts inside a pixel column of the window
    EXPECT_EQ(rightmost, 11371);

    s = Curve({0, 10, std::numeric_limits<double>::infinity(), 20, 30});
    count = 0;
    ForEachVisibleSegment(s, 11370, [&](CurvePoint, CurvePoint) { ++count; });
    EXPECT_EQ(count, 2);
}

}  // namespace
}  // namespace taviro
