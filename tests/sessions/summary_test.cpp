#include "sessions/summary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace taviro::stats {
namespace {

TEST(Summary, PercentilesInterpolateBetweenNeighbours) {
    const std::vector<double> five = {1, 2, 3, 4, 5};
    const std::pair<double, double> points[] = {{0, 1}, {25, 2}, {50, 3}, {95, 4.8}, {100, 5}};
    for (const auto& [p, value] : points) EXPECT_DOUBLE_EQ(Percentile(five, p), value) << p;
    EXPECT_DOUBLE_EQ(Percentile({10, 20}, 5), 10.5);
    EXPECT_EQ(Percentile({7}, 95), 7);
    // With "never" sorted last as +infinity: nothing where a "never" is involved.
    const std::vector<double> known = {1, 2, 4, std::numeric_limits<double>::infinity()};
    const std::pair<double, std::optional<double>> finite[] = {
        {0, 1}, {50, 3}, {80, std::nullopt}, {100, std::nullopt}};
    for (const auto& [p, value] : finite) EXPECT_EQ(FinitePercentile(known, p), value) << p;
}

TEST(Summary, DescribeGivesMomentsShareAheadAndPoints) {
    const Distribution d = Describe({3, -1, 2, 0});
    EXPECT_EQ((std::vector{d.mean, d.aheadShare, d.min, d.max, d.p50, d.p25, d.p75}),
              (std::vector{1.0, 0.5, -1.0, 3.0, 1.0, -0.25, 2.25}));
    EXPECT_DOUBLE_EQ(d.sd, std::sqrt(10.0 / 3));

    // One figure beyond the number range leaves no figure to tell, rather than a wrong one.
    const Distribution broken = Describe({3, std::numeric_limits<double>::quiet_NaN(), 2});
    EXPECT_TRUE(std::isnan(broken.mean)) << broken.mean;
    EXPECT_TRUE(std::isnan(broken.p50)) << broken.p50;
    EXPECT_TRUE(std::isnan(broken.aheadShare)) << broken.aheadShare;
}

TEST(Summary, PayoutConfidenceInterval) {
    const PayoutEstimate p = LongRunPayout({0, -3});  // mean -1.5 coins per game: 50%
    EXPECT_DOUBLE_EQ(p.payout, 50);
    const double half = 1.959963984540054 * std::sqrt(4.5) / std::sqrt(2.0) * 100 / 3;
    EXPECT_NEAR(*p.low, 50 - half, 1e-9);
    EXPECT_NEAR(*p.high, 50 + half, 1e-9);
    const PayoutEstimate one = LongRunPayout({0});  // one session: no interval
    EXPECT_EQ(one.payout, 100);
    EXPECT_FALSE(one.low);
    EXPECT_FALSE(one.high);
}

}  // namespace
}  // namespace taviro::stats
