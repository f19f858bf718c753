#include "stats/likelihood.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <tuple>

#include "core/xoshiro.h"
#include "stats/binomial_interval.h"
#include "stats/parallel_tasks.h"
#include "stats/random_draws.h"

namespace taviro::stats {

namespace {

constexpr double kMinusInfinity = -std::numeric_limits<double>::infinity();

// Held bonuses considered at the end of the games: far beyond what one AR1000 can gather.
constexpr std::int64_t kMaxHeldBigs = 48;
constexpr std::int64_t kMaxHeldRegs = 32;
// Orders per task: about 2^16 draws' work, so that a stop request is seen within milliseconds.
constexpr std::int64_t kTaskDraws = std::int64_t{1} << 16;
constexpr std::int64_t kMaxTaskOrders = 2048;
// The fewest orders a visited stratum gets, and the fewest a part's pilot gets.
constexpr std::int64_t kMinOrders = 64;
constexpr std::int64_t kMinPartOrders = std::int64_t{1} << 10;
// A generous bound on how fast K(j, i) falls with each further held bonus, for the pilot only.
constexpr double kEnvelope = 0.45;
// Further rounds of orders are played while a posterior probability's standard error is above
// kTargetSe, up to kMaxRounds rounds in all.
constexpr double kTargetSe = 0.001;
constexpr int kMaxRounds = 5;

// What the machine must be doing after the last game, besides showing the counts.
enum class EndRule {
    Any,
    NoArUnderway,  // not part-way through an AR (one may start with the next game)
    ArOver,        // in normal play
};

struct Tally {
    std::int64_t matches = 0;
    PerSetting weight{};  // each setting's BIG-kind weight, summed over the matches
};

// j BIGs and i REGs held at the end, so B + j and R + i drawn.
struct Stratum {
    std::int64_t heldBigs = 0, heldRegs = 0;
    PerSetting logM{};  // ln M_s(B + j, R + i)
    double weight = 0;  // ln of its largest prior-weighted M_s
    std::int64_t orders = 0;
    std::int64_t matches = 0;
    std::map<MachineState, Tally> states;  // by end state
};

// One way the observation can have come about. Direct: the games as they are. Split: an AR was
// under way at the end with `arPlayed` of its games played; the orders cover the games before the
// payment that started it, whose BIG was hyper when `hyper` is 1 (-1: either, H not given).
struct Part {
    Observation shown;
    EndRule rule = EndRule::Any;
    std::int32_t arPlayed = 0;
    int hyper = -1;
    std::vector<Stratum> strata;
};

struct Task {
    std::size_t stratum;
    std::int64_t orders;
    std::uint64_t seed;
};

struct TaskResult {
    std::int64_t matches = 0;
    std::map<MachineState, Tally> states;
};

std::uint64_t TaskSeed(std::uint64_t seed, std::size_t part, int phase, std::size_t stratum,
                       std::int64_t chunk) {
    std::uint64_t x = MixBits(seed + static_cast<std::uint64_t>(part) * 0x9e3779b97f4a7c15ULL);
    x = MixBits(x ^ static_cast<std::uint64_t>(phase));
    x = MixBits(x ^ static_cast<std::uint64_t>(stratum));
    return MixBits(x ^ static_cast<std::uint64_t>(chunk));
}

// Plays random orders of one stratum's draws and keeps those that show what the player saw.
class StratumPlayer {
  public:
    StratumPlayer(const Part& part, const std::array<SettingOdds, kSettings>& odds)
        : shown_(part.shown), rule_(part.rule) {
        for (std::size_t s = 0; s < kSettings; ++s) {
            const auto& v = odds[s].values;
            const auto bigs = static_cast<double>(v[0] + v[1] + v[2]);
            // Orders split the BIGs 58 : 57 : 1; each setting's exact split differs by a few of
            // the 2^24 values, which these ratios make up for.
            ratio150_[s] = static_cast<double>(v[1]) / bigs * 116 / 57;
            ratio1000_[s] = static_cast<double>(v[2]) / bigs * 116;
        }
    }

    TaskResult Play(const Stratum& stratum, const Task& task) const {
        TaskResult result;
        const std::int64_t bigs = shown_.bigs + stratum.heldBigs;
        const std::int64_t regs = shown_.regs + stratum.heldRegs;
        std::array<std::vector<double>, kSettings> pow150, pow1000;
        for (std::size_t s = 0; s < kSettings; ++s) {
            pow150[s] = Powers(ratio150_[s], bigs);
            pow1000[s] = Powers(ratio1000_[s], bigs);
        }
        RandomDraws random(task.seed);
        BonusCounter machine;
        SessionDraws draws;
        for (std::int64_t n = 0; n < task.orders; ++n) {
            DrawOrder(random, shown_.games, bigs, regs, draws);
            if (!Shows(machine, draws)) continue;
            ++result.matches;
            Tally& tally = result.states[machine.State()];
            ++tally.matches;
            for (std::size_t s = 0; s < kSettings; ++s) {
                tally.weight[s] += pow150[s][static_cast<std::size_t>(draws.big150)] *
                                   pow1000[s][static_cast<std::size_t>(draws.big1000)];
            }
        }
        return result;
    }

  private:
    static std::vector<double> Powers(double ratio, std::int64_t upTo) {
        std::vector<double> p(static_cast<std::size_t>(upTo) + 1, 1.0);
        for (std::size_t k = 1; k < p.size(); ++k) p[k] = p[k - 1] * ratio;
        return p;
    }

    // Whether the order, played from the start, shows the counter the player read.
    bool Shows(BonusCounter& m, const SessionDraws& draws) const {
        m.Reset();
        std::int64_t last = 0;
        for (std::uint64_t packed : draws.packed) {
            const auto game = static_cast<std::int64_t>(packed >> 2);
            m.Idle(game - last - 1);
            m.Play(static_cast<Drawn>(packed & 3));
            last = game;
            // Counters only grow: once one is past what was shown, the order cannot show it.
            if (m.normalBigs + m.hyperBigs > shown_.bigs || m.regs > shown_.regs ||
                (shown_.hyperBigs && m.hyperBigs > *shown_.hyperBigs) ||
                (shown_.arGames && m.arGames > *shown_.arGames)) {
                return false;
            }
        }
        m.Idle(shown_.games - last);
        const bool ruleHolds = rule_ == EndRule::Any ||
                               (rule_ == EndRule::NoArUnderway && m.ArPlayed() == 0) ||
                               (rule_ == EndRule::ArOver && m.ArLeft() == 0);
        return ruleHolds && m.normalBigs + m.hyperBigs == shown_.bigs && m.regs == shown_.regs &&
               (!shown_.hyperBigs || m.hyperBigs == *shown_.hyperBigs) &&
               (!shown_.arGames || m.arGames == *shown_.arGames);
    }

    const Observation& shown_;
    EndRule rule_;
    PerSetting ratio150_{}, ratio1000_{};
};

// Whether `games` AR games can be made of whole AR150s and AR1000s.
bool WholeArs(std::int64_t games) {
    for (std::int64_t thousands = 0; thousands * 1000 <= games; ++thousands) {
        if ((games - thousands * 1000) % 150 == 0) return true;
    }
    return false;
}

// The ways the observation can have come about: directly, and, when the AR count says so, split
// at the start of an AR under way at the end.
std::vector<Part> Parts(const Observation& shown) {
    std::vector<Part> parts;
    if (!shown.arGames) {
        parts.push_back({shown, EndRule::Any, 0, -1, {}});
        return parts;
    }
    const std::int64_t ar = *shown.arGames;
    if (WholeArs(ar)) parts.push_back({shown, EndRule::NoArUnderway, 0, -1, {}});
    if (shown.bigs < 1) return parts;
    for (std::int64_t played = 1; played < 1000 && played <= ar; ++played) {
        const std::int64_t before = shown.games - played - 1;  // games before the paying one
        if (before < 0 || !WholeArs(ar - played)) continue;
        for (int hyper : {0, 1}) {
            Observation earlier{before, shown.bigs - 1, shown.regs, std::nullopt, ar - played};
            if (shown.hyperBigs) {
                earlier.hyperBigs = *shown.hyperBigs - hyper;
                if (*earlier.hyperBigs < 0 || *earlier.hyperBigs > earlier.bigs) continue;
            } else if (hyper == 1) {
                continue;
            }
            parts.push_back({earlier,
                             EndRule::ArOver,
                             static_cast<std::int32_t>(played),
                             shown.hyperBigs ? hyper : -1,
                             {}});
        }
    }
    return parts;
}

// The chance, under setting s, that the game after a split part's earlier games paid a BIG
// starting an AR of `length` games, with the machine in `state` before it.
double SplitChance(const Part& part, const MachineState& state, std::int32_t length,
                   const SettingOdds& odds) {
    if (length <= part.arPlayed || state.arLeft != 0) return 0;
    if (state.HoldsNothing()) {
        // The BIG is drawn in that game and paid at once: a normal BIG.
        if (part.hyper == 1) return 0;
        return odds.Chance(length == 150 ? Drawn::Big150 : Drawn::Big1000);
    }
    if (state.regStock > 0) return 0;  // a waiting REG is paid first
    const std::uint8_t head = state.queue.front();
    const bool carries = (head - 1) % 3 == (length == 150 ? 1 : 2);
    const int hyper = head >= kHyperBig ? 1 : 0;
    if (!carries || (part.hyper >= 0 && part.hyper != hyper)) return 0;
    return 1 - odds.RegChance();  // any draw but a REG lets the oldest BIG be paid
}

// Plays `orders[p][k]` orders in stratum k of part p, in tasks, and adds the results to the
// strata in task order. False when stopped.
bool PlayOrders(std::vector<Part>& parts, const std::vector<StratumPlayer>& players,
                const std::vector<std::vector<std::int64_t>>& orders, int phase, std::uint64_t seed,
                unsigned threads, RunControl* control) {
    struct Placed {
        std::size_t part;
        Task task;
    };
    std::vector<Placed> tasks;
    for (std::size_t p = 0; p < parts.size(); ++p) {
        const std::int64_t draws = parts[p].shown.bigs + parts[p].shown.regs + 8;
        const std::int64_t perTask =
            std::clamp<std::int64_t>(kTaskDraws / draws, 16, kMaxTaskOrders);
        for (std::size_t k = 0; k < parts[p].strata.size(); ++k) {
            const std::int64_t n = orders[p][k];
            for (std::int64_t first = 0, chunk = 0; first < n; first += perTask, ++chunk) {
                tasks.push_back(
                    {p, {k, std::min(perTask, n - first), TaskSeed(seed, p, phase, k, chunk)}});
            }
        }
    }
    std::vector<TaskResult> results(tasks.size());
    const bool finished = RunTasks(
        tasks.size(), threads,
        [&](std::size_t t) {
            const Placed& placed = tasks[t];
            results[t] = players[placed.part].Play(parts[placed.part].strata[placed.task.stratum],
                                                   placed.task);
        },
        control);
    if (!finished) return false;
    for (std::size_t t = 0; t < tasks.size(); ++t) {
        Stratum& stratum = parts[tasks[t].part].strata[tasks[t].task.stratum];
        stratum.orders += tasks[t].task.orders;
        stratum.matches += results[t].matches;
        // The states are ordered, so the sums are formed in the same order on every run.
        for (const auto& [state, tally] : results[t].states) {
            Tally& sum = stratum.states[state];
            sum.matches += tally.matches;
            for (std::size_t s = 0; s < kSettings; ++s) sum.weight[s] += tally.weight[s];
        }
    }
    return true;
}

// Shares `total` orders out in proportion to `scores`; strata whose share is below one order get
// none, the others at least kMinOrders.
std::vector<std::int64_t> Allocate(const std::vector<double>& scores, std::int64_t total) {
    double sum = 0;
    for (double score : scores) sum += score;
    std::vector<std::int64_t> orders(scores.size(), 0);
    if (!(sum > 0)) return orders;
    for (std::size_t k = 0; k < scores.size(); ++k) {
        const double share = static_cast<double>(total) * scores[k] / sum;
        if (share >= 1) orders[k] = std::max<std::int64_t>(kMinOrders, std::llround(share));
    }
    return orders;
}

// The strata of a part, each with its possible weight in the likelihood.
void SetUpStrata(Part& part, const std::array<SettingOdds, kSettings>& odds,
                 const PerSetting& prior) {
    const Observation& shown = part.shown;
    // Before the game that pays an AR's BIG no REG can be waiting (it would be paid first), so a
    // split part has no strata with REGs held.
    const std::int64_t maxHeldRegs = part.arPlayed > 0 ? 0 : kMaxHeldRegs;
    for (std::int64_t j = 0; j <= kMaxHeldBigs; ++j) {
        for (std::int64_t i = 0; i <= maxHeldRegs; ++i) {
            if (shown.bigs + j + shown.regs + i > shown.games) break;
            Stratum stratum;
            stratum.heldBigs = j;
            stratum.heldRegs = i;
            stratum.weight = kMinusInfinity;
            for (std::size_t s = 0; s < kSettings; ++s) {
                stratum.logM[s] =
                    LogMultinomial(odds[s], shown.games, shown.bigs + j, shown.regs + i);
                if (prior[s] > 0) {
                    stratum.weight = std::max(stratum.weight, std::log(prior[s]) + stratum.logM[s]);
                }
            }
            part.strata.push_back(std::move(stratum));
        }
    }
}

// The pilot: where do orders show what was seen? Within each part, strata get orders by their
// weight against the part's first stratum and a generous bound on K.
std::vector<std::vector<std::int64_t>> PilotOrders(const std::vector<Part>& parts,
                                                   std::int64_t orders) {
    std::vector<std::vector<std::int64_t>> allocation;
    for (const Part& part : parts) {
        std::vector<double> scores;
        for (const Stratum& s : part.strata) {
            const double envelope =
                std::pow(kEnvelope, static_cast<double>(s.heldBigs + s.heldRegs));
            const double relative = std::min(s.weight - part.strata.front().weight, 50.0);
            scores.push_back(std::exp(relative) * envelope);
        }
        const double top = scores.empty() ? 0 : *std::max_element(scores.begin(), scores.end());
        for (double& score : scores) score = score >= top * 1e-9 ? score : 0;
        allocation.push_back(Allocate(scores, orders));
    }
    return allocation;
}

// The most an order's match can count for under any setting: a split part's chance that the
// paying game paid as it must (see SplitChance), 1 for a direct part.
double MatchValue(const Part& part, const MachineState& state,
                  const std::array<SettingOdds, kSettings>& odds, const PerSetting& prior) {
    if (part.arPlayed == 0) return 1;
    double most = 0;
    for (std::size_t s = 0; s < kSettings; ++s) {
        if (prior[s] <= 0) continue;
        double chance = 0;
        for (std::int32_t length : {150, 1000}) chance += SplitChance(part, state, length, odds[s]);
        most = std::max(most, chance);
    }
    return most;
}

// A further round: orders where they reduce the error of the likelihood most (Neyman
// allocation over the strata of all parts: weight times the standard deviation of what an order
// counts for, judged from the orders played so far).
std::vector<std::vector<std::int64_t>> RoundOrders(const std::vector<Part>& parts,
                                                   const std::array<SettingOdds, kSettings>& odds,
                                                   const PerSetting& prior, std::int64_t orders) {
    double top = kMinusInfinity;
    for (const Part& part : parts) {
        for (const Stratum& s : part.strata) {
            if (s.orders > 0) top = std::max(top, s.weight);
        }
    }
    std::vector<double> scores;
    std::vector<std::size_t> sizes;
    for (const Part& part : parts) {
        sizes.push_back(part.strata.size());
        for (const Stratum& s : part.strata) {
            if (s.orders == 0 || s.weight == kMinusInfinity) {
                scores.push_back(0);
                continue;
            }
            // Half a match more, worth what the matches were worth on average (1 without any),
            // keeps some orders in a stratum that has shown none yet.
            double first = 0, second = 0, matches = 0;
            for (const auto& [state, tally] : s.states) {
                const double value = MatchValue(part, state, odds, prior);
                matches += static_cast<double>(tally.matches);
                first += static_cast<double>(tally.matches) * value;
                second += static_cast<double>(tally.matches) * value * value;
            }
            const double typical = matches > 0 ? first / matches : 1;
            first += 0.5 * typical;
            second += 0.5 * typical * typical;
            const double n = static_cast<double>(s.orders) + 1;
            const double variance = std::max(0.0, second / n - (first / n) * (first / n));
            scores.push_back(std::exp(s.weight - top) * std::sqrt(variance));
        }
    }
    const std::vector<std::int64_t> flat = Allocate(scores, orders);
    std::vector<std::vector<std::int64_t>> allocation;
    std::size_t at = 0;
    for (std::size_t size : sizes) {
        allocation.emplace_back(flat.begin() + static_cast<std::ptrdiff_t>(at),
                                flat.begin() + static_cast<std::ptrdiff_t>(at + size));
        at += size;
    }
    return allocation;
}

// The likelihood, posterior and its error from the orders played so far; the end states too
// when `withEnds`.
LikelihoodEstimate Assemble(const std::vector<Part>& parts,
                            const std::array<SettingOdds, kSettings>& odds, const PerSetting& prior,
                            bool withEnds) {
    LikelihoodEstimate estimate;
    for (const Part& part : parts) {
        for (const Stratum& s : part.strata) {
            estimate.orders += s.orders;
            estimate.matches += s.matches;
        }
    }
    // L_s = sum over parts, strata and end states of M_s · (matches' weight · chance) / orders,
    // in units of e^scale_s so that nothing overflows.
    PerSetting scale;
    scale.fill(kMinusInfinity);
    for (const Part& part : parts) {
        for (const Stratum& s : part.strata) {
            if (s.matches == 0) continue;
            for (std::size_t k = 0; k < kSettings; ++k) scale[k] = std::max(scale[k], s.logM[k]);
        }
    }
    PerSetting value{};
    std::array<PerSetting, kSettings> cov{};
    std::map<std::tuple<MachineState, std::int32_t, std::int32_t>, PerSetting> ends;
    for (const Part& part : parts) {
        const bool split = part.arPlayed > 0;
        const std::vector<std::int32_t> lengths =
            split ? std::vector<std::int32_t>{150, 1000} : std::vector<std::int32_t>{0};
        for (const Stratum& s : part.strata) {
            if (s.matches == 0) continue;
            const auto n = static_cast<double>(s.orders);
            PerSetting factor{};  // e^(ln M_s - scale_s)
            for (std::size_t k = 0; k < kSettings; ++k) factor[k] = std::exp(s.logM[k] - scale[k]);
            // Per order x_k = weight · chance: its mean and second moments for the error.
            PerSetting mean{};
            std::array<PerSetting, kSettings> second{};
            for (const auto& [state, tally] : s.states) {
                PerSetting chance{};
                for (std::int32_t length : lengths) {
                    PerSetting c{};
                    bool any = false;
                    for (std::size_t k = 0; k < kSettings; ++k) {
                        c[k] = split ? SplitChance(part, state, length, odds[k]) : 1.0;
                        any = any || c[k] > 0;
                        chance[k] += c[k];
                    }
                    if (!any || !withEnds) continue;
                    PerSetting& end = ends[{state, length, part.arPlayed}];
                    for (std::size_t k = 0; k < kSettings; ++k) {
                        end[k] += factor[k] * tally.weight[k] * c[k] / n;
                    }
                }
                const auto count = static_cast<double>(tally.matches);
                for (std::size_t a = 0; a < kSettings; ++a) {
                    value[a] += factor[a] * tally.weight[a] * chance[a] / n;
                    mean[a] += count * chance[a] / n;
                    for (std::size_t b = 0; b < kSettings; ++b) {
                        second[a][b] += count * chance[a] * chance[b] / n;
                    }
                }
            }
            for (std::size_t a = 0; a < kSettings; ++a) {
                for (std::size_t b = 0; b < kSettings; ++b) {
                    cov[a][b] += factor[a] * factor[b] * (second[a][b] - mean[a] * mean[b]) / n;
                }
            }
        }
    }
    for (std::size_t k = 0; k < kSettings; ++k) {
        estimate.logLikelihood[k] = value[k] > 0 ? scale[k] + std::log(value[k]) : kMinusInfinity;
        estimate.logLikelihoodSe[k] = value[k] > 0 ? std::sqrt(cov[k][k]) / value[k] : 0;
    }

    double best = kMinusInfinity;
    for (std::size_t k = 0; k < kSettings; ++k) {
        if (prior[k] > 0) best = std::max(best, std::log(prior[k]) + estimate.logLikelihood[k]);
    }
    if (best == kMinusInfinity) return estimate;
    double total = 0;
    for (std::size_t k = 0; k < kSettings; ++k) {
        estimate.posterior[k] =
            prior[k] > 0 ? std::exp(std::log(prior[k]) + estimate.logLikelihood[k] - best) : 0;
        total += estimate.posterior[k];
    }
    for (double& p : estimate.posterior) p /= total;
    // Monte Carlo error by the delta method:
    // d posterior_a / d L_t = posterior_a (1{a = t} - posterior_t) / L_t.
    for (std::size_t a = 0; a < kSettings; ++a) {
        PerSetting gradient{};
        for (std::size_t t = 0; t < kSettings; ++t) {
            if (value[t] > 0) {
                gradient[t] =
                    estimate.posterior[a] * ((a == t ? 1 : 0) - estimate.posterior[t]) / value[t];
            }
        }
        double variance = 0;
        for (std::size_t t = 0; t < kSettings; ++t) {
            for (std::size_t u = 0; u < kSettings; ++u) {
                variance += gradient[t] * gradient[u] * cov[t][u];
            }
        }
        estimate.posteriorSe[a] = std::sqrt(std::max(0.0, variance));
    }

    for (const auto& [where, sum] : ends) {
        EndState end{std::get<0>(where), std::get<1>(where), std::get<2>(where), {}};
        for (std::size_t k = 0; k < kSettings; ++k) {
            end.chance[k] = value[k] > 0 ? sum[k] / value[k] : 0;
        }
        estimate.endStates.push_back(std::move(end));
    }
    return estimate;
}

}  // namespace

double LogMultinomial(const SettingOdds& odds, std::int64_t games, std::int64_t bigs,
                      std::int64_t regs) {
    const std::int64_t none = games - bigs - regs;
    if (bigs < 0 || regs < 0 || none < 0) return kMinusInfinity;
    const double pBig = odds.BigChance();
    const double pReg = odds.RegChance();
    const double pNone = 1 - pBig - pReg;
    auto term = [](std::int64_t count, double p) {
        if (count == 0) return 0.0;
        return p > 0 ? static_cast<double>(count) * std::log(p) : kMinusInfinity;
    };
    return LogGamma(static_cast<double>(games) + 1) - LogGamma(static_cast<double>(bigs) + 1) -
           LogGamma(static_cast<double>(regs) + 1) - LogGamma(static_cast<double>(none) + 1) +
           term(bigs, pBig) + term(regs, pReg) + term(none, pNone);
}

std::int64_t OrderBudget(const Observation& shown) {
    // Each order costs about one step per draw; with H or A given fewer orders match, so more
    // are played.
    const double draws = static_cast<double>(shown.bigs + shown.regs) + 8;
    const double work = (shown.hyperBigs || shown.arGames) ? 0x1p22 : 0x1p20;
    const std::int64_t orders = std::clamp(static_cast<std::int64_t>(work / draws),
                                           std::int64_t{1} << 14, std::int64_t{1} << 18);
    // Very long sessions: at most 2^25 draws in a round, and at least 256 orders.
    return std::min(orders, std::max<std::int64_t>(256, static_cast<std::int64_t>(0x1p25 / draws)));
}

std::optional<LikelihoodEstimate> EstimateLikelihood(const Observation& shown,
                                                     const std::array<SettingOdds, kSettings>& odds,
                                                     const PerSetting& prior, std::int64_t orders,
                                                     std::uint64_t seed, unsigned threads,
                                                     RunControl* control) {
    std::vector<Part> parts = Parts(shown);
    std::vector<StratumPlayer> players;
    for (Part& part : parts) SetUpStrata(part, odds, prior);
    for (const Part& part : parts) players.emplace_back(part, odds);
    const auto count = static_cast<std::int64_t>(std::max<std::size_t>(1, parts.size()));
    const std::int64_t pilot = std::max(std::min(kMinPartOrders, orders / 4), orders / 8 / count);
    if (!PlayOrders(parts, players, PilotOrders(parts, pilot), 0, seed, threads, control) ||
        !PlayOrders(parts, players, RoundOrders(parts, odds, prior, orders - orders / 8), 1, seed,
                    threads, control)) {
        return std::nullopt;
    }
    // Further rounds while some posterior probability is less certain than kTargetSe.
    for (int round = 2; round <= kMaxRounds; ++round) {
        const LikelihoodEstimate sofar = Assemble(parts, odds, prior, false);
        if (*std::max_element(sofar.posteriorSe.begin(), sofar.posteriorSe.end()) <= kTargetSe) {
            break;
        }
        if (!PlayOrders(parts, players, RoundOrders(parts, odds, prior, orders), round, seed,
                        threads, control)) {
            return std::nullopt;
        }
    }
    return Assemble(parts, odds, prior, true);
}

}  // namespace taviro::stats
