#include "estimation/estimate.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "core/concat.h"
#include "estimation/binomial_interval.h"

namespace taviro::stats {

namespace {

std::string Number(std::int64_t n) {
    return std::to_string(n);
}

Frequency FrequencyOf(std::int64_t count, std::int64_t games) {
    const ChanceInterval chance = ClopperPearson(count, games, 0.95);
    const double infinity = std::numeric_limits<double>::infinity();
    const auto g = static_cast<double>(games);
    return {count > 0 ? g / static_cast<double>(count) : infinity, 1 / chance.high,
            chance.low > 0 ? 1 / chance.low : infinity};
}

}  // namespace

std::optional<InputRefusal> RefuseEstimateInput(const EstimateInput& in) {
    using P = InputPart;
    const auto refuse = [](std::vector<InputPart> parts, std::string reason) {
        return std::optional<InputRefusal>(InputRefusal{std::move(parts), std::move(reason)});
    };
    if (in.games < 1 || in.games > std::numeric_limits<std::int32_t>::max()) {
        return refuse({P::Games},
                      "--games には 1 から 2147483647 までのゲーム数を指定してください");
    }
    const std::pair<std::optional<std::int64_t>, InputPart> counts[] = {
        {in.bigs, P::Bigs},
        {in.regs, P::Regs},
        {in.hyperBigs, P::HyperBigs},
        {in.arGames, P::ArGames}};
    for (const auto& [count, part] : counts) {
        if (count && *count < 0) return refuse({part}, "回数に負の数は指定できません");
    }
    if (in.arGames && *in.arGames > in.games) {
        return refuse({P::ArGames, P::Games},
                      Concat("ＡＲゲーム数 ", Number(*in.arGames), " が総ゲーム数 ",
                             Number(in.games), " を超えています"));
    }
    // A bonus is paid in a normal game, at most one per game.
    const std::int64_t normalGames = in.games - in.arGames.value_or(0);
    if (in.bigs + in.regs > normalGames) {
        std::vector<InputPart> parts = {P::Games, P::Bigs, P::Regs};
        if (in.arGames) parts.push_back(P::ArGames);
        return refuse(std::move(parts),
                      Concat("ＢＩＧ ", Number(in.bigs), " 回と ＲＥＧ ", Number(in.regs),
                             " 回は、", in.arGames ? "通常時の " : "", Number(normalGames),
                             " ゲームでは払い出せません（1ゲームに1回まで）"));
    }
    if (in.hyperBigs && *in.hyperBigs > in.bigs) {
        return refuse({P::HyperBigs, P::Bigs},
                      Concat("ハイパーＢＩＧ ", Number(*in.hyperBigs), " 回が ＢＩＧ ",
                             Number(in.bigs), " 回を超えています"));
    }
    // The first AR is started by a normal BIG, and a hyper BIG is one drawn during an AR.
    const std::int64_t normalBigs = in.bigs - in.hyperBigs.value_or(0);
    if (in.arGames && *in.arGames > 0 && normalBigs < 1) {
        return refuse({P::ArGames, P::Bigs, P::HyperBigs},
                      "ＡＲゲームがあるのに、ＡＲを始める通常ＢＩＧがありません");
    }
    if (in.hyperBigs && *in.hyperBigs > 0 && normalBigs < 1) {
        return refuse({P::HyperBigs, P::Bigs},
                      "ハイパーＢＩＧがあるのに、ＡＲを始める通常ＢＩＧがありません");
    }
    if (in.hyperBigs && in.arGames && *in.hyperBigs > 0 && *in.arGames == 0) {
        return refuse(
            {P::HyperBigs, P::ArGames},
            "ハイパーＢＩＧはＡＲ中に引いたＢＩＧなので、ＡＲゲーム数 0 とは両立しません");
    }
    double weights = 0;
    for (double w : in.prior) {
        if (!std::isfinite(w) || w < 0) {
            return refuse({P::Prior}, "--prior の重みには 0 以上の数を指定してください");
        }
        weights += w;
    }
    if (!(weights > 0) || !std::isfinite(weights)) {
        return refuse({P::Prior}, "--prior の重みがすべて 0 です");
    }
    if (in.remaining < 0 || in.remaining > kMaxRemaining) {
        return refuse({P::Remaining}, Concat("--remaining には 0 から ", Number(kMaxRemaining),
                                             " までのゲーム数を指定してください"));
    }
    if (!(in.rate > 0) || !std::isfinite(in.rate)) {
        return refuse({P::Rate}, "--rate には 0 より大きい数値（枚/100円）を指定してください");
    }
    return std::nullopt;
}

std::optional<std::string> CheckEstimateInput(const EstimateInput& input) {
    std::optional<InputRefusal> refusal = RefuseEstimateInput(input);
    if (!refusal) return std::nullopt;
    return std::move(refusal->reason);
}

EstimateOutcome Estimate(const EstimateInput& input, unsigned threads, RunControl* control) {
    EstimateOutcome outcome;
    if (auto refused = CheckEstimateInput(input)) {
        outcome.error = *refused;
        return outcome;
    }
    std::array<SettingOdds, kSettings> odds;
    Coins coins;
    for (std::size_t s = 0; s < kSettings; ++s) {
        ParameterTexts texts = input.machine;
        texts.TexBIG = kSettingPresets[s].big;
        texts.TexREG = kSettingPresets[s].reg;
        texts.TexGAME = std::to_string(1);
        const std::optional<SimulationState> prepared = PreparedState(texts, false);
        if (!prepared) {
            outcome.error = Concat("数値が大きすぎます");
            return outcome;
        }
        odds[s] = OddsOf(*prepared);
        coins = CoinsOf(*prepared);
    }

    EstimateAnswer a;
    double weights = 0;
    for (double w : input.prior) weights += w;
    for (std::size_t s = 0; s < kSettings; ++s) a.prior[s] = input.prior[s] / weights;

    const Observation shown{input.games, input.bigs, input.regs, input.hyperBigs, input.arGames};
    const std::optional<LikelihoodEstimate> likelihood =
        EstimateLikelihood(shown, odds, a.prior, OrderBudget(shown), input.seed, threads, control);
    if (!likelihood) {
        outcome.stopped = true;
        return outcome;
    }
    if (likelihood->endStates.empty() && likelihood->exact) {
        outcome.error = "この組み合わせの回数は、台のどの進み方でも起こりえません";
        return outcome;
    }
    if (likelihood->endStates.empty()) {
        outcome.error = Concat("この組み合わせの回数は、", Number(likelihood->orders),
                               " 通りの試行で一度も再現できませんでした");
        return outcome;
    }
    a.posterior = likelihood->posterior;
    a.posteriorSe = likelihood->posteriorSe;
    a.roughPosterior =
        *std::max_element(a.posteriorSe.begin(), a.posteriorSe.end()) > kPosteriorSeLimit;
    a.logLikelihood = likelihood->logLikelihood;
    a.orders = likelihood->orders;
    a.matches = likelihood->matches;
    a.exact = likelihood->exact;
    for (std::size_t s = 0; s < kSettings; ++s) {
        a.bayesFactor[s] = std::exp(a.logLikelihood[s] - a.logLikelihood[0]);
        a.atLeast4 += s >= 3 ? a.posterior[s] : 0;
        a.fiveOrSix += s >= 4 ? a.posterior[s] : 0;
        a.expectedSetting += static_cast<double>(s + 1) * a.posterior[s];
        a.payoutBySetting[s] = LongRunPayout(odds[s], coins);
        a.payout += a.posterior[s] * a.payoutBySetting[s];
    }
    a.big = FrequencyOf(input.bigs, input.games);
    a.reg = FrequencyOf(input.regs, input.games);

    if (input.remaining > 0 || input.untilKnown) {
        ContinuationPlan plan;
        plan.now = &*likelihood;
        plan.odds = odds;
        plan.coins = coins;
        plan.rate = input.rate;
        plan.remaining = input.remaining;
        plan.continuations = kContinuations;
        plan.knowContinuations = input.untilKnown ? kKnowContinuations : 0;
        plan.seed = input.seed;
        plan.threads = threads;
        std::optional<ContinuationResult> next = Continue(plan, control);
        if (!next) {
            outcome.stopped = true;
            return outcome;
        }
        a.projection = std::move(next->projection);
        a.untilKnown = next->untilKnown;
    }
    outcome.answer = std::move(a);
    return outcome;
}

}  // namespace taviro::stats
