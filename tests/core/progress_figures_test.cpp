#include "core/progress_figures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/fake_clock.h"

namespace taviro {
namespace {

using test_support::FakeClock;

TEST(ProgressMeter, FiguresAndLines) {
    // Games in all and done, seconds since the start, and what the dialog shows.
    using Case =
        std::tuple<std::int64_t, std::int64_t, double, int, const char*, const char*, const char*>;
    const Case cases[] = {
        {1000, 0, 0.7, 0, "0%（0 / 1,000 ゲーム）", "準備しています…", "残り時間を計算しています"},
        {1000, 10, 0, 1, "1%（10 / 1,000 ゲーム）", "毎秒 - ゲーム", "残り時間を計算しています"},
        {1000, 999, 2, 99, "99%（999 / 1,000 ゲーム）", "毎秒 500 ゲーム", "残り 約1秒"},
        {2147483647, 65536, 1, 0, "0%（65,536 / 2,147,483,647 ゲーム）", "毎秒 65,536 ゲーム",
         "残り 約9時間7分"},
        {1000000, 65536, 1, 6, "6%（65,536 / 1,000,000 ゲーム）", "毎秒 65,536 ゲーム",
         "残り 約15秒"},
        {1000000000, 250000000, 10, 25, "25%（250,000,000 / 1,000,000,000 ゲーム）",
         "毎秒 25,000,000 ゲーム", "残り 約30秒"},
        {300, 300, 3, 100, "100%（300 / 300 ゲーム）", "毎秒 100 ゲーム", "残り 約1秒"},
        {0, 0, 1, 0, "0%（0 / 0 ゲーム）", "準備しています…", "残り時間を計算しています"},
    };
    for (const auto& [total, done, elapsed, percent, share, pace, timeLeft] : cases) {
        SCOPED_TRACE(std::to_string(total) + " " + std::to_string(done));
        FakeClock clock;
        ProgressMeter meter(clock, total);
        clock.Advance(elapsed);
        EXPECT_EQ(meter.Figures(done).percent, percent);
        const ProgressLines lines = meter.Lines(done, "ゲーム");
        EXPECT_EQ(lines.share, share);
        EXPECT_EQ(lines.pace, pace);
        EXPECT_EQ(lines.timeLeft, timeLeft);
    }
}

TEST(ProgressMeter, DialogAfterHalfASecondAndPaceFromWhenTheCountLeftZero) {
    FakeClock clock;
    ProgressMeter meter(clock, 1000);
    clock.Advance(0.49);
    EXPECT_FALSE(meter.DialogDue());
    clock.Advance(0.01);
    EXPECT_TRUE(meter.DialogDue());
    meter.Figures(0);  // preparing until now
    clock.Advance(2);
    EXPECT_DOUBLE_EQ(meter.Figures(500).perSecond, 250);
}

TEST(ProgressTexts, TimeLeftRoundsUpAndCountsAreGrouped) {
    const std::pair<std::optional<double>, const char*> cases[] = {
        {std::nullopt, "残り時間を計算しています"},
        {0.2, "残り 約1秒"},
        {59.2, "残り 約1分"},
        {65, "残り 約1分5秒"},
        {3599.5, "残り 約1時間"},
        {3601, "残り 約1時間1分"},
    };
    for (const auto& [seconds, text] : cases) EXPECT_EQ(TimeLeftText(seconds), text);
    // Negative counts are grouped too (the positive ones are in the lines above).
    EXPECT_EQ(GroupedNumber(-1234567), "-1,234,567");
    EXPECT_EQ(GroupedNumber(std::numeric_limits<std::int64_t>::min()),
              "-9,223,372,036,854,775,808");
}

}  // namespace
}  // namespace taviro
