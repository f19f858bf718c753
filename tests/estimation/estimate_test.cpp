#include "estimation/estimate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <clocale>
#include <cmath>
#include <map>
#include <thread>

#include "core/game_loop.h"
#include "core/number_text.h"
#include "core/recorders.h"
#include "core/xoshiro.h"
#include "core/xoshiro_source.h"
#include "estimation/continuation.h"
#include "estimation/estimate_report.h"

namespace taviro::stats {
namespace {

SimulationState Preset(std::size_t s, std::int64_t games) {
    ParameterTexts texts;
    texts.TexBIG = kSettingPresets[s].big, texts.TexREG = kSettingPresets[s].reg;
    texts.TexGAME = std::to_string(games);
    return PreparedState(texts, false).value();
}

std::array<SettingOdds, kSettings> PresetOdds() {
    std::array<SettingOdds, kSettings> odds;
    for (std::size_t s = 0; s < kSettings; ++s) odds[s] = OddsOf(Preset(s, 1));
    return odds;
}

// P(shown | setting) and its Monte Carlo standard error; `paths` 0: from orders only.
// Readings with the AR count are mostly guided, which costs more an order: fewer orders.
std::pair<double, double> LikelihoodAndError(const Observation& shown, std::size_t setting,
                                             std::int64_t paths = kMostPathStates) {
    const std::int64_t orders = std::int64_t{1} << (shown.arGames ? 13 : 17);
    PerSetting prior{};
    prior[setting] = 1;
    const auto estimate =
        EstimateLikelihood(shown, PresetOdds(), prior, orders, 5, 2, nullptr, paths);
    const double l = std::exp(estimate.value().logLikelihood[setting]);
    return {l, l * estimate->logLikelihoodSe[setting]};
}

double Likelihood(const Observation& shown, std::size_t setting) {
    return LikelihoodAndError(shown, setting).first;
}

TEST(Likelihood, CasesWorkedByHand) {
    using Odds = const SettingOdds&;
    auto ar = [](Odds o) { return o.Chance(Drawn::Big150) + o.Chance(Drawn::Big1000); };
    auto none = [](Odds o) { return 1 - o.BigChance() - o.RegChance(); };
    // An AR150 that draws no REG and first a BIG that brings an AR (chance `first`), paid in the
    // game after it, which draws no REG.
    auto held = [&](Odds o, double first) {
        double sum = 0;
        for (int t = 1; t <= 150; ++t)
            sum += std::pow(none(o), t - 1) * std::pow(1 - o.RegChance(), 150 - t);
        return first * sum * (1 - o.RegChance());
    };
    struct Case {
        Observation shown;
        std::function<double(Odds)> expected;
        double tolerance;  // relative; besides four of the estimate's own standard errors
    } const cases[] = {
        // No BIG paid, so never an AR: nothing can be held, the multinomial is exact.
        {{50, 0, 2, {}, {}},
         [&](Odds o) { return 1225 * std::pow(o.RegChance(), 2) * std::pow(none(o), 48); },
         1e-9},
        // One game: whatever it draws is paid at once.
        {{1, 1, 0, {}, {}}, [](Odds o) { return o.BigChance(); }, 1e-6},
        // A BIG then nothing or anything held by its AR, or nothing then a BIG.
        {{2, 1, 0, {}, {}}, [&](Odds o) { return o.BigChance() * none(o) * 1.5 + ar(o); }, 1e-5},
        // ... of which, with no AR game shown, only the cases without AR.
        {{2, 1, 0, {}, 0}, [&](Odds o) { return o.BigChance() * none(o) * 1.5; }, 0.01},
        // An AR under way since game 1: its BIG came first, the rest is held whatever it was.
        {{2, 1, 0, {}, 1}, ar, 1e-9},
        {{3, 1, 0, 0, 2}, ar, 1e-9},
        // 151 AR games after game 1's BIG: only an AR1000 lasts that long.
        {{152, 1, 0, {}, 151}, [](Odds o) { return o.Chance(Drawn::Big1000); }, 1e-9},
        // An AR1000 from game 1 that ends with the last game, whatever it held.
        {{1001, 1, 0, {}, 1000}, [](Odds o) { return o.Chance(Drawn::Big1000); }, 1e-9},
        // ... or one game before it, which pays a REG the AR held or one it draws itself (a REG
        // is paid before a held BIG); or a REG, then the AR1000.
        {{1002, 1, 1, {}, 1000},
         [](Odds o) {
             const double r = o.RegChance();
             return o.Chance(Drawn::Big1000) * (r + 1 - std::pow(1 - r, 1001));
         },
         1e-3},
        // An AR150 paid in game 1 or 2 that held nothing and is followed by quiet games, or one
        // paid in game 3 that ends with the last game (an AR1000 then lasts that long too).
        {{153, 1, 0, {}, 150},
         [&](Odds o) {
             return 2 * o.Chance(Drawn::Big150) * std::pow(none(o), 152) +
                    none(o) * none(o) * ar(o);
         },
         1e-3},
        // Game 1 an AR150 whose first BIG, drawn with no REG, brings an AR: paid as a hyper BIG
        // in game 152 (which draws no REG), it lasts to the end.
        {{302, 2, 0, 1, 300},
         [&](Odds o) { return o.Chance(Drawn::Big150) * held(o, ar(o)); },
         1e-3},
        // The same with an AR1000 held that runs 200 games, beside the AR1000 drawn in game 152
        // and a plain BIG then an AR1000 in games 1 and 2.
        {{352, 2, 0, {}, 350},
         [&](Odds o) {
             const double ar1000 = o.Chance(Drawn::Big1000);
             return o.Chance(Drawn::Big150) * (held(o, ar1000) + std::pow(none(o), 150) * ar1000) +
                    o.Chance(Drawn::PlainBig) * ar1000;
         },
         1e-3},
    };
    // Without a hyper count, also the orders where a held hyper BIG started the AR count.
    EXPECT_GT(Likelihood({153, 2, 0, {}, 151}, 5), 10 * Likelihood({153, 2, 0, 0, 151}, 5));
    const auto odds = PresetOdds();
    for (const Case& c : cases) {
        for (std::size_t s : {0u, 5u}) {
            const double expected = c.expected(odds[s]);
            const auto [l, se] = LikelihoodAndError(c.shown, s, 0);
            EXPECT_NEAR(l, expected, c.tolerance * expected + 4 * se)
                << c.shown.games << " " << c.shown.bigs << " setting " << s + 1;
            // Summed over the machine's paths: exact.
            if (c.shown.arGames) {
                EXPECT_NEAR(Likelihood(c.shown, s), expected, 1e-9 * expected)
                    << c.shown.games << " " << c.shown.bigs << " setting " << s + 1;
            }
        }
    }
}

// Sums over the machine's paths against orders played, on readings where hyper BIGs chain, REGs
// wait behind ARs and the games end in an AR or after one: the posterior, the likelihood and the
// chance of an AR under way at the end agree within the orders' errors.
TEST(Likelihood, PathsSummedAgreeWithOrdersPlayed) {
    const Observation readings[] = {{3000, 17, 3, 16, 2650},
                                    {3000, 12, 8, 3, 500},
                                    {2000, 9, 5, 4, 1150},
                                    {2000, 5, 1, 0, 253}};
    const PerSetting uniform = {1, 1, 1, 1, 1, 1};
    // The chance under setting 6 that an AR is under way after the last game.
    auto underWay = [](const LikelihoodEstimate& e) {
        double share = 0;
        for (const EndState& end : e.endStates) {
            share += end.arLength > 0 && end.arPlayed < end.arLength ? end.chance[5] : 0;
        }
        return share;
    };
    for (const Observation& shown : readings) {
        const auto summed = *EstimateLikelihood(shown, PresetOdds(), uniform, 0, 1, 2, nullptr);
        const auto played =
            *EstimateLikelihood(shown, PresetOdds(), uniform, OrderBudget(shown), 1, 2, nullptr, 0);
        ASSERT_TRUE(summed.exact) << shown.games << " " << shown.bigs;
        EXPECT_EQ(summed.orders, 0);
        for (std::size_t s = 0; s < kSettings; ++s) {
            EXPECT_NEAR(summed.posterior[s], played.posterior[s], 4 * played.posteriorSe[s] + 1e-4)
                << shown.games << " " << shown.bigs << " setting " << s + 1;
            EXPECT_NEAR(summed.logLikelihood[s], played.logLikelihood[s],
                        4 * played.logLikelihoodSe[s] + 1e-3)
                << shown.games << " " << shown.bigs << " setting " << s + 1;
        }
        EXPECT_NEAR(underWay(summed), underWay(played), 0.02) << shown.games << " " << shown.bigs;
    }
    // A reading no path shows is refused as impossible: two BIGs bring at most 2000 AR games.
    EstimateInput in;
    in.games = 5000, in.bigs = 2, in.regs = 0, in.arGames = 2150;
    EXPECT_EQ(Estimate(in).error, "この組み合わせの回数は、台のどの進み方でも起こりえません");
}

// Readings that tie a payment to one game: an AR1000 that ends a game before the last, and two
// whole AR150s with a hyper BIG and part of a third. Over 20 seeds each posterior probability
// stays within three of its stated standard errors of their mean, nearly always.
TEST(Likelihood, SeedsSpreadAsTheStatedErrorSays) {
    const Observation readings[] = {{1002, 1, 1, {}, 1000}, {400, 3, 0, 1, 350}};
    int within = 0, all = 0;
    for (const Observation& shown : readings) {
        std::vector<LikelihoodEstimate> runs;
        PerSetting mean{};
        for (std::uint64_t seed = 1; seed <= 20; ++seed) {
            runs.push_back(*EstimateLikelihood(shown, PresetOdds(), {1, 1, 1, 1, 1, 1},
                                               std::int64_t{1} << 13, seed, 2, nullptr, 0));
            for (std::size_t s = 0; s < kSettings; ++s) mean[s] += runs.back().posterior[s] / 20;
        }
        for (const LikelihoodEstimate& run : runs) {
            for (std::size_t s = 0; s < kSettings; ++s) {
                within += std::fabs(run.posterior[s] - mean[s]) <= 3 * run.posteriorSe[s] + 1e-9;
                ++all;
            }
        }
    }
    EXPECT_GE(within, 0.95 * all);
}

TEST(Likelihood, AgreesWithCountingTheGameLoopsSessions) {
    // How often the engine's own sessions at setting 6 show each counter.
    constexpr std::int64_t kGames = 200, kSessions = 150000;
    const Observation shown[] = {
        {kGames, 1, 0, {}, {}}, {kGames, 2, 1, {}, {}},  {kGames, 1, 0, {}, 0},
        {kGames, 1, 0, 0, 60},  {kGames, 2, 0, {}, 150},
    };
    const SimulationState prepared = Preset(5, kGames);
    std::vector<std::int64_t> hits(std::size(shown));
    for (std::int64_t i = 0; i < kSessions; ++i) {
        SimulationState s = prepared;
        XoshiroSource source(MixBits(i + 1));
        NoHistory none;
        PlayGames(s, source, none);
        for (std::size_t k = 0; k < std::size(shown); ++k) {
            const Observation& o = shown[k];
            hits[k] += s.CntNBIG + s.CntHBIG == o.bigs && s.CntREG == o.regs &&
                       (!o.hyperBigs || s.CntHBIG == *o.hyperBigs) &&
                       (!o.arGames || s.CntARGames == *o.arGames);
        }
    }
    for (std::size_t k = 0; k < std::size(shown); ++k) {
        const double p = static_cast<double>(hits[k]) / kSessions;
        const double se = std::sqrt(p * (1 - p) / kSessions);
        EXPECT_NEAR(Likelihood(shown[k], 5), p, 4.5 * se + 1e-6) << k;
    }
}

// The REGs or the BIGs alone tell settings 1-4 (1 in 100) from 5-6 (1 in 10); half are at 5 or 6.
TEST(Continuation, TheSettingBecomesKnownFromTheBonusesPaid) {
    LikelihoodEstimate now;
    now.posterior = {0.125, 0.125, 0.125, 0.125, 0.25, 0.25};
    now.endStates.push_back({{}, 0, 0, {1, 1, 1, 1, 1, 1}});
    ContinuationPlan plan;
    plan.now = &now;
    plan.knowContinuations = 1024;
    for (const std::size_t telling : {0, 3}) {  // plain BIGs or REGs
        for (std::size_t s = 0; s < kSettings; ++s) {
            plan.odds[s].values = {0, 0, 0, 0};
            plan.odds[s].values[3 - telling] = kGeneratorValues / 1000;
            plan.odds[s].values[telling] = kGeneratorValues / (s < 4 ? 100 : 10);
        }
        const UntilKnown known = Continue(plan, nullptr).value().untilKnown.value();
        EXPECT_EQ(known.neitherShare, 0) << telling;
        EXPECT_NEAR(known.highShare, 0.5, 0.1) << telling;
        EXPECT_LT(known.median, *known.p90) << telling;
        EXPECT_LT(*known.p90, 200) << telling;
    }
    // Held BIG with AR150 paid in the game after: that game draws a plain BIG (never a REG), paid
    // (as the only normal BIG) once the AR's REGs are, before the AR's hyper BIGs (coins 0).
    now.endStates = {{{0, 0, {kNormalBigAr150}}, 150, 0, {1, 1, 1, 1, 1, 1}}};
    for (SettingOdds& o : plan.odds) o.values = {kGeneratorValues / 2, 0, 0, kGeneratorValues / 2};
    plan.coins.normalBig = 1, plan.remaining = 400, plan.continuations = 200;
    plan.knowContinuations = 0;
    const Distribution coins = Continue(plan, nullptr).value().projection->coins;
    EXPECT_EQ(coins.min, 1);
    EXPECT_EQ(coins.max, 1);
    // An AR under way 50 of its 150 games with nothing held: 100 of the next 150 games are its.
    now.endStates = {{{}, 150, 50, {1, 1, 1, 1, 1, 1}}};
    plan.coins = {.arBase = 1}, plan.remaining = 150;
    const Distribution ar = Continue(plan, nullptr).value().projection->coins;
    EXPECT_EQ(ar.min, 100);
    EXPECT_EQ(ar.max, 100);
}

EstimateInput Input(std::int64_t games, std::int64_t bigs, std::int64_t regs) {
    EstimateInput in;
    in.games = games, in.bigs = bigs, in.regs = regs, in.seed = 99;
    return in;
}

TEST(Estimate, SameSeedSameAnswerWhateverTheThreadsAndNoneWhenStopped) {
    EstimateInput in = Input(3000, 12, 8);
    in.remaining = 2000;
    const EstimateAnswer one = Estimate(in, 1).answer.value();
    const EstimateAnswer three = Estimate(in, 3).answer.value();
    EXPECT_EQ(one.posterior, three.posterior);
    EXPECT_DOUBLE_EQ(one.fiveOrSix, one.posterior[4] + one.posterior[5]);
    EXPECT_EQ(one.projection->bands.back().p95, three.projection->bands.back().p95);
    EXPECT_LT(one.projection->bands.back().p25, one.projection->bands.back().p75);
    EXPECT_EQ(one.untilKnown->median, three.untilKnown->median);
    const UntilKnown& k = *one.untilKnown;
    EXPECT_NEAR(k.lowShare + k.highShare + k.neitherShare, 1, 1e-12);
    EXPECT_LT(one.matches, one.orders);
    // A different seed plays other orders, to the same figures within their errors.
    in.seed = 100;
    const EstimateAnswer other = Estimate(in, 2).answer.value();
    EXPECT_NE(one.posterior, other.posterior);
    for (std::size_t s = 0; s < kSettings; ++s) {
        EXPECT_NEAR(one.posterior[s], other.posterior[s], 5 * one.posteriorSe[s] + 1e-4);
    }
    // Stopped before it starts, or while the next games are played: no answer.
    RunControl control;
    control.RequestStop();
    EXPECT_TRUE(Estimate(in, 1, &control).stopped);
    in = Input(100, 0, 0);  // the counts are quick, the next games are not
    in.remaining = kMaxRemaining;
    RunControl later;
    std::atomic<bool> ended{false};
    std::thread stopper([&] {
        // Once the first continuations have been played.
        while (later.GamesPlayed() == 0 && !ended.load()) std::this_thread::yield();
        later.RequestStop();
    });
    const EstimateOutcome outcome = Estimate(in, 1, &later);
    ended.store(true);
    stopper.join();
    EXPECT_GT(later.GamesPlayed(), 0);
    EXPECT_TRUE(outcome.stopped);
    EXPECT_FALSE(outcome.answer);
}

TEST(Estimate, FiguresFollowThePosterior) {
    EstimateInput in = Input(3000, 12, 8);
    in.prior = {0, 0, 1, 1, 0, 0};
    const EstimateAnswer a = Estimate(in).answer.value();
    EXPECT_EQ(a.posterior[0], 0);
    EXPECT_NEAR(a.posterior[2] + a.posterior[3], 1, 1e-12);
    EXPECT_DOUBLE_EQ(a.atLeast4, a.posterior[3]);
    EXPECT_DOUBLE_EQ(a.expectedSetting, 3 * a.posterior[2] + 4 * a.posterior[3]);
    EXPECT_DOUBLE_EQ(a.bayesFactor[3], std::exp(a.logLikelihood[3] - a.logLikelihood[0]));
    EXPECT_NEAR(a.payout,
                a.posterior[2] * a.payoutBySetting[2] + a.posterior[3] * a.payoutBySetting[3],
                1e-9);
    // Settings 5 and 6 are out of the question: the setting is known already.
    EXPECT_EQ(a.fiveOrSix, 0);
    EXPECT_EQ(a.untilKnown->median, 0);
    EXPECT_EQ(a.untilKnown->lowShare, 1);
    EXPECT_EQ(a.big.x, 250);
    EXPECT_EQ(a.reg.x, 375);
    EXPECT_EQ(a.prior[2], 0.5);
    EXPECT_LT(a.big.low, 250);
    EXPECT_GT(a.big.high, 250);
}

TEST(Estimate, AnArUnderWayCarriesIntoTheNextGames) {
    // 50 AR games after the only BIG, paid at game 50: at least 100 AR games are still to come.
    EstimateInput in = Input(100, 1, 0);
    in.hyperBigs = 0, in.arGames = 50, in.remaining = 80;
    const Projection p = *Estimate(in).answer.value().projection;
    const double ar = 1.5842163960;  // the AR base of the default coins
    EXPECT_EQ(p.coins.p5, p.coins.p95);
    EXPECT_EQ(p.bands.size(), 80u);
    EXPECT_EQ(p.bands.back().games, 80);
    EXPECT_NEAR(p.coins.p95, 80 * ar, 1e-6);
    EXPECT_NEAR(p.bands[39].p50, 40 * ar, 1e-6);
}

TEST(Estimate, ImpossibleCountsAreRefusedInOneLineAboutTheRightCount) {
    using P = InputPart;
    const std::pair<std::function<void(EstimateInput&)>, InputPart> refused[] = {
        {[](EstimateInput& in) { in.games = 0; }, P::Games},
        {[](EstimateInput& in) { in.regs = -1; }, P::Regs},
        {[](EstimateInput& in) { in.bigs = 2995; }, P::Games},     // with 8 REGs: over 3000 games
        {[](EstimateInput& in) { in.arGames = 2985; }, P::Games},  // 20 bonuses, 15 normal games
        {[](EstimateInput& in) { in.arGames = 3001; }, P::ArGames},
        {[](EstimateInput& in) { in.hyperBigs = 13; }, P::HyperBigs},
        {[](EstimateInput& in) { in.hyperBigs = 12; }, P::HyperBigs},  // no normal BIG for an AR
        {[](EstimateInput& in) { in.hyperBigs = 1, in.arGames = 0; }, P::HyperBigs},
        {[](EstimateInput& in) { in.bigs = 0, in.arGames = 10; }, P::ArGames},
        {[](EstimateInput& in) { in.prior = {0, 0, 0, 0, 0, 0}; }, P::Prior},
        {[](EstimateInput& in) { in.prior[2] = -1; }, P::Prior},
        {[](EstimateInput& in) { in.remaining = kMaxRemaining + 1; }, P::Remaining},
        {[](EstimateInput& in) { in.rate = 0; }, P::Rate},
    };
    for (std::size_t k = 0; k < std::size(refused); ++k) {
        EstimateInput in = Input(3000, 12, 8);
        refused[k].first(in);
        const std::optional<InputRefusal> refusal = RefuseEstimateInput(in);
        ASSERT_TRUE(refusal) << k;
        EXPECT_EQ(refusal->parts.front(), refused[k].second) << k << ": " << refusal->reason;
        EXPECT_EQ(refusal->reason.find('\n'), std::string::npos) << k;
        const EstimateOutcome outcome = Estimate(in);
        EXPECT_FALSE(outcome.answer) << k;
        EXPECT_FALSE(outcome.stopped) << k;
        EXPECT_EQ(outcome.error, refusal->reason) << k;
    }
    EstimateInput possible = Input(3000, 12, 8);
    possible.hyperBigs = 2, possible.arGames = 400, possible.remaining = kMaxRemaining;
    EXPECT_FALSE(RefuseEstimateInput(possible));
    EXPECT_FALSE(RefuseEstimateInput(Input(1, 1, 0)));  // a bonus in every game
}

TEST(EstimateReport, TheThreeFormatsCarryTheSameFigures) {
    EstimateInput in = Input(3000, 12, 8);
    in.remaining = 500;
    const EstimateAnswer a = Estimate(in).answer.value();
    const std::string text = FormatEstimate(in, a, OutputFormat::Text);
    const std::string csv = FormatEstimate(in, a, OutputFormat::Csv);
    const std::string json = FormatEstimate(in, a, OutputFormat::Json);

    std::map<std::string, std::string> values;
    for (std::size_t start = csv.find('\n') + 1; start < csv.size();) {
        const std::size_t comma = csv.find(',', start), end = csv.find('\n', start);
        values[csv.substr(start, comma - start)] = csv.substr(comma + 1, end - comma - 1);
        start = end + 1;
    }
    const std::size_t posterior = json.find("\"posterior\": [") + 14;
    std::string_view array(json.data() + posterior, json.find(']', posterior) - posterior);
    for (std::size_t s = 0; s < kSettings; ++s) {
        const std::size_t comma = std::min(array.find(','), array.size());
        EXPECT_EQ(std::stod(std::string(array.substr(0, comma))), a.posterior[s]);
        array.remove_prefix(std::min(comma + 2, array.size()));
    }
    for (const EstimateFigure& f : EstimateFigures(in, a)) {
        const std::string key = f.setting > 0 ? f.key + "_" + std::to_string(f.setting) : f.key;
        ASSERT_TRUE(values.count(key)) << key;
        EXPECT_EQ(values[key].empty() ? std::optional<double>() : std::stod(values[key]), f.value)
            << key;
        EXPECT_NE(json.find("\"" + f.key + "\": "), std::string::npos) << f.key;
    }
    EXPECT_EQ(values["seed"], "99");
    EXPECT_NE(json.find("\"hyper_bigs\": null"), std::string::npos);
    EXPECT_EQ(std::count(json.begin(), json.end(), '{'), 1 + 128);  // the object and the bands
    // The text rounds the same figures.
    char p6[16];
    std::snprintf(p6, sizeof p6, "%.1f%%", a.posterior[5] * 100);
    EXPECT_NE(text.find(p6), std::string::npos) << text;
    // The same text whatever the process's locale: window programs set it from the environment.
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) {
        EXPECT_EQ(FormatEstimate(in, a, OutputFormat::Text), text);
        std::setlocale(LC_ALL, "C");
    }
    EXPECT_NE(text.find("1/250.0"), std::string::npos) << text;
    // An error that could not be brought under its limit is said in all three.
    EstimateAnswer rough = a;
    rough.roughPosterior = true;
    EXPECT_EQ(values["posterior_mc_se_over_limit"], "0");
    EXPECT_NE(FormatEstimate(in, rough, OutputFormat::Csv).find("posterior_mc_se_over_limit,1\n"),
              std::string::npos);
    EXPECT_NE(
        FormatEstimate(in, rough, OutputFormat::Json).find("\"posterior_mc_se_over_limit\": 1"),
        std::string::npos);
    EXPECT_EQ(text.find("目安"), std::string::npos);
    const std::string roughText = FormatEstimate(in, rough, OutputFormat::Text);
    EXPECT_NE(roughText.find("目安です"), std::string::npos);
    EXPECT_NE(text.find("1/375.0"), std::string::npos) << text;
    for (std::size_t start = 0, end; start < roughText.size(); start = end + 1) {
        end = roughText.find('\n', start);
        EXPECT_LE(DisplayWidth(roughText.substr(start, end - start)), 80u);
    }
}

}  // namespace
}  // namespace taviro::stats
