#include "estimation/continuation.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>

#include "core/money_summary.h"
#include "core/parallel_tasks.h"
#include "core/xoshiro.h"
#include "estimation/bonus_machine.h"
#include "estimation/random_draws.h"

namespace taviro::stats {

namespace {

// Continuations per task: kTaskDraws bonus draws' work (a bonus every 250 games or so), at most
// this many.
constexpr std::int64_t kMaxTaskContinuations = 128;

// P(setting 5 or 6) as the counter moves on: the current posterior times the chance of what the
// counter adds, read as the multinomial of paid counts over the further games (the correction
// for bonuses held at the end is kept at its present value).
class KnowledgeTracker {
  public:
    KnowledgeTracker(const PerSetting& posterior, const std::array<SettingOdds, kSettings>& odds) {
        for (std::size_t s = 0; s < kSettings; ++s) {
            start_[s] = posterior[s] > 0 ? std::log(posterior[s]) : kMinusInfinity;
            logBig_[s] = std::log(odds[s].BigChance());
            logReg_[s] = std::log(odds[s].RegChance());
            logNone_[s] = std::log1p(-odds[s].BigChance() - odds[s].RegChance());
        }
    }

    double HighChance(std::int64_t games, std::int64_t bigs, std::int64_t regs) const {
        PerSetting lw;
        double top = kMinusInfinity;
        for (std::size_t s = 0; s < kSettings; ++s) {
            lw[s] = start_[s] == kMinusInfinity
                        ? kMinusInfinity
                        : start_[s] + static_cast<double>(bigs) * logBig_[s] +
                              static_cast<double>(regs) * logReg_[s] +
                              static_cast<double>(games - bigs - regs) * logNone_[s];
            top = std::max(top, lw[s]);
        }
        double all = 0, high = 0;
        for (std::size_t s = 0; s < kSettings; ++s) {
            const double w = lw[s] == kMinusInfinity ? 0 : std::exp(lw[s] - top);
            all += w;
            if (s >= 4) high += w;
        }
        return high / all;
    }

    // Reads the counter after game `games`; a bonus can only have been paid in that last game.
    void After(std::int64_t games, std::int64_t bigs, std::int64_t regs) {
        if (done_) return;
        if (bigs + regs > bigs_ + regs_) {
            // Games since the last look paid nothing until this one: P falls through them.
            if (games - 1 > checked_ && HighChance(games - 1, bigs_, regs_) < kKnowLow) {
                Low(games - 1);
                return;
            }
            bigs_ = bigs;
            regs_ = regs;
            if (HighChance(games, bigs_, regs_) > kKnowHigh) {
                done_ = true;
                high_ = true;
                when_ = games;
                return;
            }
        } else if (HighChance(games, bigs_, regs_) < kKnowLow) {
            Low(games);
            return;
        }
        checked_ = games;
    }

    void Start() {
        const double now = HighChance(0, 0, 0);
        if (now > kKnowHigh || now < kKnowLow) {
            done_ = true;
            high_ = now > kKnowHigh;
            when_ = 0;
        }
    }

    bool Done() const { return done_; }
    bool High() const { return high_; }
    std::int64_t When() const { return when_; }

  private:
    // P fell below the low bound by game `games` without a payment since `checked_`: it falls
    // steadily through quiet games, so the first such game is found by halving.
    void Low(std::int64_t games) {
        std::int64_t above = checked_, below = games;
        while (below - above > 1) {
            const std::int64_t middle = above + (below - above) / 2;
            (HighChance(middle, bigs_, regs_) < kKnowLow ? below : above) = middle;
        }
        done_ = true;
        high_ = false;
        when_ = below;
    }

    PerSetting start_{}, logBig_{}, logReg_{}, logNone_{};
    std::int64_t bigs_ = 0, regs_ = 0, checked_ = 0;
    bool done_ = false, high_ = false;
    std::int64_t when_ = -1;
};

// Draws a bonus kind by the setting's values among those that bring a bonus.
Drawn DrawKind(RandomDraws& random, const SettingOdds& odds) {
    const auto& v = odds.values;
    const std::int64_t total = v[0] + v[1] + v[2] + v[3];
    std::int64_t u = random.Below(static_cast<std::uint32_t>(total));
    for (int k = 0; k < 3; ++k) {
        if (u < v[static_cast<std::size_t>(k)]) return static_cast<Drawn>(k);
        u -= v[static_cast<std::size_t>(k)];
    }
    return Drawn::Reg;
}

// Picks the index of `weights` (not all 0) with chance proportional to its weight.
std::size_t Pick(RandomDraws& random, const std::vector<double>& cumulative) {
    const double u = (1 - random.Unit()) * cumulative.back();
    const auto it = std::upper_bound(cumulative.begin(), cumulative.end(), u);
    return std::min<std::size_t>(static_cast<std::size_t>(it - cumulative.begin()),
                                 cumulative.size() - 1);
}

struct Outcome {
    double coins = 0;
    double kyen = 0;
    std::int64_t known = -1;  // games until known; -1 never within the horizon
    bool high = false;
};

class Continuer {
  public:
    explicit Continuer(const ContinuationPlan& plan) : plan_(plan) {
        const LikelihoodEstimate& now = *plan.now;
        double sum = 0;
        for (std::size_t s = 0; s < kSettings; ++s) {
            sum += now.posterior[s];
            settingCdf_[s] = sum;
            std::vector<double>& cdf = stateCdf_[s];
            double states = 0;
            for (const EndState& end : now.endStates) {
                states += end.chance[s];
                cdf.push_back(states);
            }
        }
        checkpoints_ = Checkpoints(plan.remaining);
    }

    const std::vector<std::int64_t>& Points() const { return checkpoints_; }

    // One continuation, followed until the setting is known when `tracking`; `bands` receives
    // the net coins at each checkpoint.
    Outcome Play(std::uint64_t seed, bool tracking, double* bands) const {
        RandomDraws random(seed);
        const double u = (1 - random.Unit()) * settingCdf_.back();
        std::size_t s = 0;
        while (s + 1 < kSettings && settingCdf_[s] <= u) ++s;
        const SettingOdds& odds = plan_.odds[s];
        const EndState& end = plan_.now->endStates[Pick(random, stateCdf_[s])];

        BonusMachine m(plan_.coins);
        m.Restore(end.state);
        const double bonusChance = odds.BigChance() + odds.RegChance();
        if (end.arLength > 0) CatchUp(m, end, odds, bonusChance, random);
        m.ClearCounters();

        Outcome outcome;
        KnowledgeTracker tracker(plan_.now->posterior, plan_.odds);
        if (tracking) tracker.Start();
        const std::int64_t last =
            std::max(plan_.remaining, tracking && !tracker.Done() ? kKnowHorizon : 0);
        std::size_t point = 0;
        std::int64_t t = 0;
        std::int64_t nextDraw = random.GamesToBonus(bonusChance);
        while (t < last && (t < plan_.remaining || (tracking && !tracker.Done()))) {
            std::int64_t until = std::min(nextDraw - 1, last);
            if (t < plan_.remaining) until = std::min(until, checkpoints_[point]);
            if (t < until) {
                t += m.Quiet(until - t);
            } else {
                m.Play(DrawKind(random, odds));
                ++t;
                nextDraw = t + random.GamesToBonus(bonusChance);
            }
            if (tracking) tracker.After(t, m.normalBigs + m.hyperBigs, m.regs);
            if (point < checkpoints_.size() && t == checkpoints_[point]) {
                bands[point++] = m.balance;
                if (t == plan_.remaining) {
                    outcome.coins = m.balance;
                    const MoneyFigures money = ComputeMoneyFigures(m.lowest, m.balance, plan_.rate);
                    outcome.kyen = money.net.value_or(std::numeric_limits<double>::quiet_NaN());
                }
            }
        }
        if (tracker.Done()) {
            outcome.known = tracker.When();
            outcome.high = tracker.High();
        }
        return outcome;
    }

  private:
    // From the state before the game that started the AR under way, to the state after the
    // games played: that game pays the AR's BIG, then the AR's games played so far hold
    // whatever they drew.
    static void CatchUp(BonusMachine& m, const EndState& end, const SettingOdds& odds,
                        double bonusChance, RandomDraws& random) {
        if (end.state.HoldsNothing()) {
            m.Play(end.arLength == 150 ? Drawn::Big150 : Drawn::Big1000);
        } else {
            // Any draw but a REG, by the setting's values.
            const auto& v = odds.values;
            const std::int64_t notReg = kGeneratorValues - v[3];
            std::int64_t pick = random.Below(static_cast<std::uint32_t>(notReg));
            int kind = 0;
            for (; kind < 3 && pick >= v[static_cast<std::size_t>(kind)]; ++kind) {
                pick -= v[static_cast<std::size_t>(kind)];
            }
            if (kind < 3) {
                m.Play(static_cast<Drawn>(kind));
            } else {
                m.Quiet(1);
            }
        }
        for (std::int64_t t = 0; t < end.arPlayed;) {
            const std::int64_t gap = random.GamesToBonus(bonusChance);
            if (t + gap > end.arPlayed) {
                m.Idle(end.arPlayed - t);
                break;
            }
            m.Idle(gap - 1);
            m.Play(DrawKind(random, odds));
            t += gap;
        }
    }

    const ContinuationPlan& plan_;
    PerSetting settingCdf_{};
    std::array<std::vector<double>, kSettings> stateCdf_;
    std::vector<std::int64_t> checkpoints_;
};

}  // namespace

std::optional<ContinuationResult> Continue(const ContinuationPlan& plan, RunControl* control) {
    const Continuer continuer(plan);
    const std::size_t points = continuer.Points().size();
    const auto n = static_cast<std::size_t>(
        std::max(plan.remaining > 0 ? plan.continuations : 0, plan.knowContinuations));
    const auto known = static_cast<std::size_t>(plan.knowContinuations);
    std::vector<Outcome> outcomes(n);
    std::vector<double> bands(n * points);
    const std::int64_t draws = (plan.remaining + (known > 0 ? kKnowHorizon : 0)) / 250 + 8;
    const auto perTask = static_cast<std::size_t>(
        std::clamp<std::int64_t>(kTaskDraws / draws, 1, kMaxTaskContinuations));
    const std::size_t tasks = (n + perTask - 1) / perTask;
    const std::uint64_t base = MixBits(plan.seed ^ 0x636f6e74696e7565ULL);
    std::atomic<std::int64_t> played{0};  // continuations, published as the progress
    const bool finished = RunTasks(
        tasks, plan.threads,
        [&](std::size_t task) {
            const std::size_t first = task * perTask;
            const std::size_t stop = std::min(n, first + perTask);
            for (std::size_t c = first; c < stop; ++c) {
                outcomes[c] =
                    continuer.Play(MixBits(base ^ c), c < known, bands.data() + c * points);
            }
            const auto count = static_cast<std::int64_t>(stop - first);
            if (control != nullptr) control->Publish(played.fetch_add(count) + count);
        },
        control);
    if (!finished) return std::nullopt;

    ContinuationResult result;
    if (plan.remaining > 0) {
        Projection projection;
        std::vector<double> coins, kyen;
        for (const Outcome& o : outcomes) {
            coins.push_back(o.coins);
            kyen.push_back(o.kyen);
        }
        projection.coins = Describe(std::move(coins));
        projection.kyen = Describe(std::move(kyen));
        std::vector<double> column(n);
        for (std::size_t k = 0; k < points; ++k) {
            for (std::size_t c = 0; c < n; ++c) column[c] = bands[c * points + k];
            std::sort(column.begin(), column.end());
            projection.bands.push_back({continuer.Points()[k], Percentile(column, 5),
                                        Percentile(column, 25), Percentile(column, 50),
                                        Percentile(column, 75), Percentile(column, 95)});
        }
        result.projection = std::move(projection);
    }
    if (known > 0) {
        UntilKnown k;
        std::vector<double> games;
        for (std::size_t c = 0; c < known; ++c) {
            const Outcome& o = outcomes[c];
            games.push_back(o.known < 0 ? std::numeric_limits<double>::infinity()
                                        : static_cast<double>(o.known));
            if (o.known < 0) {
                k.neitherShare += 1;
            } else {
                (o.high ? k.highShare : k.lowShare) += 1;
            }
        }
        std::sort(games.begin(), games.end());
        k.median = FinitePercentile(games, 50);
        k.p10 = FinitePercentile(games, 10);
        k.p90 = FinitePercentile(games, 90);
        for (double* share : {&k.highShare, &k.lowShare, &k.neitherShare}) {
            *share /= static_cast<double>(known);
        }
        result.untilKnown = k;
    }
    return result;
}

}  // namespace taviro::stats
