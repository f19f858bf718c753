#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "core/clock_seed.h"
#include "core/game_loop.h"
#include "core/xoshiro_source.h"
#include "support/scripted_source.h"

namespace taviro {
namespace {

TEST(XoshiroSource, ValuesStayBelowOneAndReachEveryDraw) {
    XoshiroSource source(1);
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
    for (std::int32_t draw : {1, 2, 3, 7830, 7831, 24824, 24825, LOTTERY_SPACE}) {
        EXPECT_EQ(DrawFromUniform(test_support::UniformForDraw(draw)), draw);
    }
}

TEST(XoshiroSource, RestartReplaysTheSequenceOfASeed) {
    XoshiroSource source;
    const std::uint64_t seed = source.Reseed();
    std::vector<float> first(1000), again(1000);
    source.Fill(first);
    source.Restart(seed);
    source.Fill(again);
    EXPECT_EQ(first, again);
}

TEST(SeedSequence, QuickSuccessiveStartsNeverShareASeed) {
    SeedSequence sequence;
    std::set<std::uint64_t> seeds;
    for (int i = 0; i < 1000; ++i) seeds.insert(sequence.Next(5));  // a clock that stands still
    for (int i = 0; i < 1000; ++i) seeds.insert(sequence.Next(1000 + i / 10));
    EXPECT_EQ(seeds.size(), 2000u);
}

}  // namespace
}  // namespace taviro
