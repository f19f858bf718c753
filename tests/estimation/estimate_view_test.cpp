#include "estimation/estimate_view.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace taviro {
namespace {

using F = EstimateField;

EstimateFieldTexts Counts(std::string games, std::string bigs, std::string regs) {
    EstimateFieldTexts t;
    t.games = std::move(games), t.bigs = std::move(bigs), t.regs = std::move(regs);
    return t;
}

TEST(EstimateView, FieldsReadAsTheInputOrSayWhyBesideTheRightField) {
    struct Case {
        const char* name;
        std::function<void(EstimateFieldTexts&)> edit;
        std::optional<F> lastEdited;
        std::optional<F> field;  // where the reason shows
        const char* reason;      // a part of it; without a field, the games read ("": none)
    };
    const Case cases[] = {
        {"full-width digits", [](auto& t) { t.games = "　３０００ "; }, {}, {}, "3000"},
        {"empty count", [](auto& t) { t.regs = ""; }, {}, {}, ""},
        {"also when incomplete", [](auto& t) { t.games = "", t.regs = "x"; }, {}, F::Regs, "数字"},
        {"fraction", [](auto& t) { t.regs = "8.5"; }, {}, F::Regs, "整数"},
        {"negative", [](auto& t) { t.hyperBigs = "-1"; }, {}, F::HyperBigs, "0 以上"},
        {"no games", [](auto& t) { t.games = "0"; }, {}, F::Games, "1 以上"},
        {"beyond 32 bits", [](auto& t) { t.arGames = "2147483648"; }, {}, F::ArGames, "以下"},
        {"bonuses beyond the games", [](auto& t) { t.games = "19"; }, F::Games, F::Games,
         "払い出せません"},
        {"... beside the count edited", [](auto& t) { t.games = "19"; }, F::Regs, F::Regs,
         "払い出せません"},
        {"... or the first", [](auto& t) { t.games = "19"; }, F::Rate, F::Games, "払い出せません"},
        {"hyper above BIG", [](auto& t) { t.hyperBigs = "13"; }, {}, F::HyperBigs, "超えて"},
        {"AR above the games", [](auto& t) { t.arGames = "3001"; }, F::Games, F::Games, "超えて"},
        {"weights all zero",
         [](auto& t) { t.typedPrior = true, t.weights = {"0", "0", "0", "0", "0", "0"}; },
         {},
         F::Prior,
         "すべて 0"},
        {"weight not typed", [](auto& t) { t.typedPrior = true; }, {}, F::Prior, "設定1の重み"},
        {"remaining beyond", [](auto& t) { t.remaining = "1000001"; }, {}, F::Remaining, "以下"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EstimateFieldTexts texts = Counts("3000", "12", "8");
        c.edit(texts);
        const EstimateReading r = ReadEstimateFields(texts, c.lastEdited);
        ASSERT_EQ(r.problem.has_value(), c.field.has_value());
        if (r.problem) {
            EXPECT_EQ(r.problem->field, *c.field);
            EXPECT_NE(r.problem->reason.find(c.reason), std::string::npos) << r.problem->reason;
            EXPECT_EQ(r.problem->reason.find("--"), std::string::npos) << r.problem->reason;
            EXPECT_FALSE(r.input);
        } else {
            EXPECT_EQ(r.input ? std::to_string(r.input->games) : "", c.reason);
        }
    }
}

TEST(EstimateView, TextsOfAnAnswer) {
    stats::EstimateInput in;
    in.games = 3000, in.bigs = 12, in.regs = 8, in.hyperBigs = 2, in.arGames = 500;
    in.remaining = 2000, in.rate = 5.5, in.prior = {1, 1, 1, 2, 2, 2};
    stats::EstimateAnswer a;
    a.posterior = {0.0304, 0.057, 0.1, 0.149, 0.2216, 0.44249};
    a.atLeast4 = 0.81251, a.fiveOrSix = 0.664, a.expectedSetting = 4.7951;
    const double inf = std::numeric_limits<double>::infinity();
    a.big = {250, 143.3, 483.44}, a.reg = {inf, 1001.2, inf};
    a.payout = 123.366;
    a.projection.emplace();
    a.projection->kyen = {
        .mean = 27.44, .aheadShare = 0.725, .p5 = -31.25, .p50 = 0.04, .p95 = 102.2};
    a.projection->coins = {.mean = 1370.4, .p5 = -1559, .p50 = 0, .p95 = 5112};
    a.untilKnown = stats::UntilKnown{13530, 2676, std::nullopt};

    EstimateTexts t = TextsOf(in, a);
    EXPECT_EQ(t.basis,
              "3000ゲーム　ＢＩＧ 12回　ＲＥＧ 8回（うちハイパー 2回）　ＡＲ 500ゲーム　事前の重み "
              "1:1:1:2:2:2の推定");
    EXPECT_EQ(t.posteriorDescription,
              "設定ごとの確率：設定1 3.0%、設定2 5.7%、設定3 10.0%、設定4 14.9%、設定5 "
              "22.2%、設定6 44.2%");
    EXPECT_EQ((std::vector{t.atLeast4, t.fiveOrSix, t.expectedSetting, t.payout, t.mean, t.ahead,
                           t.p5, t.p50, t.p95, t.knownMedian, t.knownRange}),
              (std::vector<std::string>{"81.3%", "66.4%", "4.80", "123.37%", "+27.4千円", "72.5%",
                                        "-31.2千円" /* half to even */, "0.0千円", "+102.2千円",
                                        "13530ゲーム", "2676～100000超ゲーム"}));
    EXPECT_EQ(t.big, "1/250.0（95%区間 1/483.4～1/143.3）");
    EXPECT_EQ(t.reg, "1/∞（95%区間 1/∞～1/1001.2）");
    EXPECT_EQ(t.projectionTitle, "この先 2000ゲームの収支（換金率 5.5枚/100円）");
    EXPECT_EQ(t.chartDescription, t.posteriorDescription + "。" + t.fanDescription);
    EXPECT_EQ(t.fanDescription,
              "この先 2000ゲームの差枚数の見込み：平均 +1370枚、5%点 -1559枚、中央値 0枚、95%点 "
              "+5112枚、勝つ確率 72.5%");

    a.projection.reset();
    in.prior = {3, 3, 3, 3, 3, 3};  // equal weights go unsaid
    t = TextsOf(in, a);
    EXPECT_EQ(t.basis.find("事前の重み"), std::string::npos);
    EXPECT_EQ(t.projectionTitle, kNoProjection);
    EXPECT_EQ(t.mean + t.ahead + t.p5 + t.p50 + t.p95, "");
}

}  // namespace
}  // namespace taviro
