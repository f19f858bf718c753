#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "core/clock_seed.h"
#include "core/game_loop.h"
#include "core/vector_path.h"
#include "core/xoshiro.h"
#include "core/xoshiro_source.h"

namespace taviro {
namespace {

TEST(XoshiroSource, TakesTheEightStreamsOfTheSeedInTurnOnEveryPath) {
    for (bool portable : {false, true}) {
        ForcePortablePath(portable);
        constexpr std::uint64_t kSeed = 20261206;
        XoshiroSource source(kSeed);
        std::vector<Xoshiro256Plus> streams;
        for (std::uint64_t lane = 0; lane < 8; ++lane)
            streams.emplace_back(kSeed + 4 * lane * 0x9e3779b97f4a7c15ULL);
        std::size_t at = 0;  // pieces of any length, values or lottery numbers, take turns
        for (std::size_t size : {1, 3, 8, 13, 512, 7, 64, 501}) {
            std::vector<float> values(size);
            std::vector<std::int32_t> draws(size);
            source.Fill(values);
            for (float v : values) ASSERT_EQ(v, streams[at++ % 8].NextFloat()) << portable << at;
            source.FillDraws(draws);
            for (std::int32_t d : draws)
                ASSERT_EQ(d, DrawFromUniform(streams[at++ % 8].NextFloat())) << portable << at;
        }
        // A new seed, told for playing the run again; each time part of a group of eight is left.
        const std::uint64_t seed = source.Reseed();
        std::vector<float> first(9), again(9);
        source.Fill(first);
        source.Restart(seed);
        source.Fill(again);
        EXPECT_EQ(first, again) << portable;
    }
    ForcePortablePath(false);
}

TEST(LotteryDraw, TwentyFourBitFormulaGivesTheNumberOfEveryValue) {
    std::uint32_t differing = 0;
    for (std::uint32_t k = 0; k < (1u << 24); ++k) {
        differing += DrawFrom24Bits(k) != DrawFromUniform(static_cast<float>(k) * 0x1p-24f);
    }
    EXPECT_EQ(differing, 0u);
    // The largest value the generator can give still draws the last lottery number.
    EXPECT_EQ(DrawFromUniform(1.0f - 0x1p-24f), LOTTERY_SPACE);
    EXPECT_EQ(DrawFromUniform(0.0f), 1);
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
