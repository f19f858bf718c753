#include "estimation/likelihood.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <tuple>

#include "core/parallel_tasks.h"
#include "core/xoshiro.h"
#include "estimation/binomial_interval.h"
#include "estimation/guided_orders.h"
#include "estimation/machine_paths.h"
#include "estimation/order_tally.h"
#include "estimation/random_draws.h"

namespace taviro::stats {

namespace {

// Held bonuses considered at the end of the games: far beyond what one AR1000 can gather.
constexpr std::int64_t kMaxHeldBigs = 48;
constexpr std::int64_t kMaxHeldRegs = 32;
// Orders per task: kTaskDraws' worth of draws, within 16 and this many.
constexpr std::int64_t kMaxTaskOrders = 2048;
// The fewest orders a visited stratum gets, and the fewest a part's pilot gets.
constexpr std::int64_t kMinOrders = 64;
constexpr std::int64_t kMinPartOrders = std::int64_t{1} << 10;
// A generous bound on how fast K(j, i) falls with each further held bonus, for the pilot only.
constexpr double kEnvelope = 0.45;
// Further rounds of orders are played while a posterior probability's standard error is above
// kTargetSe, up to kMaxRounds rounds in all.
constexpr double kTargetSe = 0.001;
constexpr double kGuidedTargetSe = 0.003;
constexpr int kMaxRounds = 5;
// A part whose random orders show the counter fewer times than this in the pilot is played
// again with guided orders; the phase that seeds their pilot.
constexpr std::int64_t kGuideBelow = 200;
constexpr int kGuidedPilot = 100;
// The matches below which a guided part's variance is scaled up (by kSureMatches / matches): the
// weights of guided orders vary, and the sample variance of a few hundred of them is itself
// uncertain and, where they have a long tail, too small. Chosen so that the posteriors of 20
// seeds stay within three stated standard errors (docs/estimation.md, section 3).
constexpr std::int64_t kSureMatches = 2000;

// j BIGs and i REGs held at the end, so B + j and R + i drawn.
struct Stratum {
    std::int64_t heldBigs = 0, heldRegs = 0;
    PerSetting logM{};  // ln M_s(B + j, R + i)
    double weight = 0;  // ln of its largest prior-weighted M_s
    std::int64_t orders = 0;
    OrderTally found;
};

// One way the observation can have come about. Direct: the games as they are, the last a normal
// game when the AR count is given. Split: the last game was an AR game, `arPlayed` of its AR's
// games played (all of them when it ended with the last game); the orders cover the games before
// the payment that started it, whose BIG was hyper or not as `hyperPaid` says (unknown without H).
struct Part {
    Observation shown;
    EndRule rule = EndRule::Any;
    std::int32_t arPlayed = 0;
    std::optional<bool> hyperPaid;
    bool guided = false;  // orders steered through the machine's time, else spread at random
    std::vector<Stratum> strata;
};

struct Task {
    std::size_t stratum;
    std::int64_t orders;
    std::uint64_t seed;
};

std::uint64_t TaskSeed(std::uint64_t seed, std::size_t part, int phase, std::size_t stratum,
                       std::int64_t chunk) {
    std::uint64_t x = MixBits(seed + static_cast<std::uint64_t>(part) * 0x9e3779b97f4a7c15ULL);
    x = MixBits(x ^ static_cast<std::uint64_t>(phase));
    x = MixBits(x ^ static_cast<std::uint64_t>(stratum));
    return MixBits(x ^ static_cast<std::uint64_t>(chunk));
}

// The chance, under setting s, that the game after a split part's earlier games paid a BIG
// starting an AR of `length` games, with the machine in `state` before it.
double SplitChance(const Part& part, const MachineState& state, std::int32_t length,
                   const SettingOdds& odds) {
    if (length < part.arPlayed || state.arLeft != 0) return 0;
    if (state.HoldsNothing()) {
        // The BIG is drawn in that game and paid at once: a normal BIG.
        if (part.hyperPaid == true) return 0;
        return odds.Chance(length == 150 ? Drawn::Big150 : Drawn::Big1000);
    }
    if (state.regStock > 0) return 0;  // a waiting REG is paid first
    const std::uint8_t head = state.queue.front();
    const bool carries = (head - 1) % 3 == (length == 150 ? 1 : 2);
    const bool hyper = head >= kHyperBig;
    if (!carries || (part.hyperPaid && *part.hyperPaid != hyper)) return 0;
    return 1 - odds.RegChance();  // any draw but a REG lets the oldest BIG be paid
}

// Plays random orders of a part's draws: the draws spread at random over the games, kept when
// they show the counter.
class UniformOrders {
  public:
    UniformOrders(const Part& part, const std::array<SettingOdds, kSettings>& odds,
                  const PerSetting& prior)
        : part_(part), odds_(odds), prior_(prior), ratios_(odds) {}

    void Play(std::int64_t bigs, std::int64_t regs, std::int64_t orders, std::uint64_t seed,
              OrderTally& tally) const {
        const auto pow150 = KindRatios::Powers(ratios_.ratio150, bigs);
        const auto pow1000 = KindRatios::Powers(ratios_.ratio1000, bigs);
        RandomDraws random(seed);
        BonusCounter machine;
        SessionDraws draws;
        std::vector<OrderWorth> worths;
        for (std::int64_t n = 0; n < orders; ++n) {
            DrawOrder(random, part_.shown.games, bigs, regs, draws);
            if (!Shows(machine, draws)) continue;
            PerSetting kinds{};
            for (std::size_t s = 0; s < kSettings; ++s) {
                kinds[s] = pow150[s][static_cast<std::size_t>(draws.big150)] *
                           pow1000[s][static_cast<std::size_t>(draws.big1000)];
            }
            worths.clear();
            const MachineState state = machine.State();
            double most = 1;
            if (part_.arPlayed == 0) {
                worths.push_back({{state, 0}, kinds});
            } else {
                PerSetting sum{};
                for (const std::int32_t length : {150, 1000}) {
                    OrderWorth worth{{state, length}, {}};
                    bool any = false;
                    for (std::size_t s = 0; s < kSettings; ++s) {
                        const double chance = SplitChance(part_, state, length, odds_[s]);
                        worth.worth[s] = kinds[s] * chance;
                        sum[s] += chance;
                        any = any || chance > 0;
                    }
                    if (any) worths.push_back(std::move(worth));
                }
                most = 0;
                for (std::size_t s = 0; s < kSettings; ++s) {
                    if (prior_[s] > 0) most = std::max(most, sum[s]);
                }
            }
            if (!worths.empty()) tally.Add(worths, most);
        }
    }

  private:
    // Whether the order, played from the start, shows the counter the player read.
    bool Shows(BonusCounter& m, const SessionDraws& draws) const {
        const Observation& shown = part_.shown;
        m.Reset();
        std::int64_t last = 0;
        bool lastWasAr = false;  // whether the last game played was an AR game
        for (std::uint64_t packed : draws.packed) {
            const auto game = static_cast<std::int64_t>(packed >> 2);
            m.Idle(game - last - 1);
            const std::int64_t ar = m.arGames;
            m.Play(static_cast<Drawn>(packed & 3));
            lastWasAr = m.arGames > ar;
            last = game;
            // Counters only grow: once one is past what was shown, the order cannot show it.
            if (m.normalBigs + m.hyperBigs > shown.bigs || m.regs > shown.regs ||
                (shown.hyperBigs && m.hyperBigs > *shown.hyperBigs) ||
                (shown.arGames && m.arGames > *shown.arGames)) {
                return false;
            }
        }
        if (last < shown.games) {
            m.Idle(shown.games - last - 1);
            const std::int64_t ar = m.arGames;
            m.Idle(1);
            lastWasAr = m.arGames > ar;
        }
        const bool ruleHolds = part_.rule == EndRule::Any ||
                               (part_.rule == EndRule::LastGameNormal && !lastWasAr) ||
                               (part_.rule == EndRule::ArOver && m.ArLeft() == 0);
        return ruleHolds && m.normalBigs + m.hyperBigs == shown.bigs && m.regs == shown.regs &&
               (!shown.hyperBigs || m.hyperBigs == *shown.hyperBigs) &&
               (!shown.arGames || m.arGames == *shown.arGames);
    }

    const Part& part_;
    const std::array<SettingOdds, kSettings>& odds_;
    PerSetting prior_;
    KindRatios ratios_;
};

// The orders of one part: spread at random over the games; steered through the machine's time
// (guided) once random orders have shown the counter too rarely.
class PartOrders {
  public:
    PartOrders(const Part& part, const std::array<SettingOdds, kSettings>& odds,
               const PerSetting& prior)
        : uniform_(part, odds, prior) {
        if (part.shown.hyperBigs || part.shown.arGames) {
            guided_.emplace(GuidedGoal{part.shown, part.rule, part.arPlayed, part.hyperPaid}, odds,
                            prior);
        }
    }

    bool CanGuide() const { return guided_.has_value(); }

    // Whether orders of the stratum with j BIGs and i REGs held can show the counter at all.
    bool Possible(const Part& part, std::int64_t j, std::int64_t i) const {
        return !guided_ || guided_->Possible(part.shown.bigs + j, part.shown.regs + i);
    }

    OrderTally Play(const Part& part, const Stratum& stratum, const Task& task) const {
        OrderTally tally;
        const std::int64_t bigs = part.shown.bigs + stratum.heldBigs;
        const std::int64_t regs = part.shown.regs + stratum.heldRegs;
        if (part.guided) {
            guided_->Play(bigs, regs, task.orders, task.seed, tally);
        } else {
            uniform_.Play(bigs, regs, task.orders, task.seed, tally);
        }
        return tally;
    }

  private:
    UniformOrders uniform_;
    std::optional<GuidedOrders> guided_;
};

// Whether `games` AR games can be made of whole AR150s and AR1000s.
bool WholeArs(std::int64_t games) {
    for (std::int64_t thousands = 0; thousands * 1000 <= games; ++thousands) {
        if ((games - thousands * 1000) % 150 == 0) return true;
    }
    return false;
}

// Whether the machine can show this counter at all, by the plain rules a split part's earlier
// games must obey too: a bonus is paid in a normal game, an AR needs a normal BIG to start the
// first and brings at most 1000 games a paid BIG, a hyper BIG is paid after an AR has ended.
bool Possible(const Observation& o) {
    const std::int64_t ar = o.arGames.value_or(0), hyper = o.hyperBigs.value_or(0);
    if (o.games < 0 || o.bigs < 0 || o.regs < 0 || hyper < 0 || hyper > o.bigs || ar < 0) {
        return false;
    }
    if (o.bigs + o.regs > o.games - ar) return false;
    if (ar > 0 && (o.bigs - hyper < 1 || ar > 1000 * o.bigs)) return false;
    if (hyper > 0 && (o.bigs - hyper < 1 || (o.arGames && ar < 150))) return false;
    return true;
}

// The ways the observation can have come about: directly, and, when the AR count says so, split
// at the start of an AR under way at the end or ended with the last game.
std::vector<Part> Parts(const Observation& shown) {
    std::vector<Part> parts;
    if (!shown.arGames) {
        parts.push_back({shown, EndRule::Any, 0, std::nullopt, false, {}});
        return parts;
    }
    const std::int64_t ar = *shown.arGames;
    if (WholeArs(ar)) {
        parts.push_back({shown, EndRule::LastGameNormal, 0, std::nullopt, false, {}});
    }
    if (shown.bigs < 1) return parts;
    for (std::int64_t played = 1; played <= 1000 && played <= ar; ++played) {
        const std::int64_t before = shown.games - played - 1;  // games before the paying one
        if (before < 0 || !WholeArs(ar - played)) continue;
        for (const bool hyper : {false, true}) {
            Observation earlier{before, shown.bigs - 1, shown.regs, std::nullopt, ar - played};
            std::optional<bool> hyperPaid;
            if (shown.hyperBigs) {
                earlier.hyperBigs = *shown.hyperBigs - (hyper ? 1 : 0);
                hyperPaid = hyper;
            } else if (hyper) {
                continue;
            }
            if (!Possible(earlier)) continue;
            parts.push_back({earlier,
                             EndRule::ArOver,
                             static_cast<std::int32_t>(played),
                             hyperPaid,
                             false,
                             {}});
        }
    }
    return parts;
}

// Plays `orders[p][k]` orders in stratum k of part p, in tasks, and adds the results to the
// strata in task order. False when stopped.
bool PlayOrders(std::vector<Part>& parts, const std::vector<PartOrders>& players,
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
    std::vector<OrderTally> results(tasks.size());
    const bool finished = RunTasks(
        tasks.size(), threads,
        [&](std::size_t t) {
            const Placed& placed = tasks[t];
            const Part& part = parts[placed.part];
            results[t] =
                players[placed.part].Play(part, part.strata[placed.task.stratum], placed.task);
        },
        control);
    if (!finished) return false;
    for (std::size_t t = 0; t < tasks.size(); ++t) {
        Stratum& stratum = parts[tasks[t].part].strata[tasks[t].task.stratum];
        stratum.orders += tasks[t].task.orders;
        stratum.found.Merge(results[t]);
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
void SetUpStrata(Part& part, const PartOrders& player,
                 const std::array<SettingOdds, kSettings>& odds, const PerSetting& prior) {
    const Observation& shown = part.shown;
    // Before the game that pays an AR's BIG no REG can be waiting (it would be paid first), so a
    // split part has no strata with REGs held.
    const std::int64_t maxHeldRegs = part.arPlayed > 0 ? 0 : kMaxHeldRegs;
    for (std::int64_t j = 0; j <= kMaxHeldBigs; ++j) {
        for (std::int64_t i = 0; i <= maxHeldRegs; ++i) {
            if (shown.bigs + j + shown.regs + i > shown.games) break;
            if (!player.Possible(part, j, i)) continue;
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
            // Guided orders often keep what an AR at the end drew, whatever it was: no bound.
            const double envelope =
                part.guided ? 1 : std::pow(kEnvelope, static_cast<double>(s.heldBigs + s.heldRegs));
            const double relative = std::min(s.weight - part.strata.front().weight, 50.0);
            scores.push_back(std::exp(relative) * envelope);
        }
        const double top = scores.empty() ? 0 : *std::max_element(scores.begin(), scores.end());
        for (double& score : scores) score = score >= top * 1e-9 ? score : 0;
        allocation.push_back(Allocate(scores, orders));
    }
    return allocation;
}

// A further round: orders where they reduce the error of the likelihood most (Neyman
// allocation over the strata of all parts: weight times the standard deviation of what an order
// counts for, judged from the orders played so far).
std::vector<std::vector<std::int64_t>> RoundOrders(const std::vector<Part>& parts,
                                                   std::int64_t orders) {
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
        double partMost = 0, partMatches = 0;
        for (const Stratum& s : part.strata) {
            partMost += s.found.most;
            partMatches += static_cast<double>(s.found.matches);
        }
        for (const Stratum& s : part.strata) {
            if (s.weight == kMinusInfinity || (s.orders == 0 && !part.guided)) {
                scores.push_back(0);
                continue;
            }
            if (s.orders == 0) {  // guided, not visited yet: as if half a match were its worth
                const double typical = partMatches > 0 ? partMost / partMatches : 1;
                scores.push_back(std::exp(s.weight - top) * 0.5 * typical);
                continue;
            }
            // Half a match more, worth what the matches were worth on average (1 without any),
            // keeps some orders in a stratum that has shown none yet.
            const auto matches = static_cast<double>(s.found.matches);
            double first = s.found.most, second = s.found.mostSquares;
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

// ln of the scale each setting's likelihood is summed in: the largest ln M_s of a stratum that
// showed the counter, so that nothing overflows.
PerSetting Scales(const std::vector<Part>& parts) {
    PerSetting scale;
    scale.fill(kMinusInfinity);
    for (const Part& part : parts) {
        for (const Stratum& s : part.strata) {
            if (s.found.matches == 0) continue;
            for (std::size_t k = 0; k < kSettings; ++k) scale[k] = std::max(scale[k], s.logM[k]);
        }
    }
    return scale;
}

// e^(ln M_s - scale_s) / orders: what a stratum's sums are multiplied by.
PerSetting StratumFactor(const Stratum& s, const PerSetting& scale) {
    PerSetting factor{};
    for (std::size_t k = 0; k < kSettings; ++k) {
        factor[k] = std::exp(s.logM[k] - scale[k]) / static_cast<double>(s.orders);
    }
    return factor;
}

// L_s / e^scale_s = sum over parts and strata of M_s · (what the orders counted for) / orders,
// and its Monte Carlo covariance between settings: strata are independent, and within one the
// orders are. The covariance is not taken as smaller than the orders can tell: a stratum whose
// estimate rests on m matches of n orders is given at least the error of one made of m hits in n
// tries (an order's worth varies, and the few large ones are what a run misses), and one with no
// match at all the error of half a match worth what its part's matches were worth.
struct Sums {
    PerSetting value{};
    std::array<PerSetting, kSettings> cov{};
};

Sums LikelihoodSums(const std::vector<Part>& parts, const PerSetting& scale) {
    Sums sums;
    PerSetting allWorth{};
    std::int64_t allMatches = 0;
    for (const Part& part : parts) {
        for (const Stratum& s : part.strata) {
            for (std::size_t k = 0; k < kSettings; ++k) allWorth[k] += s.found.sum[k];
            allMatches += s.found.matches;
        }
    }
    for (const Part& part : parts) {
        PerSetting partWorth{};
        std::int64_t partMatches = 0;
        for (const Stratum& s : part.strata) {
            for (std::size_t k = 0; k < kSettings; ++k) partWorth[k] += s.found.sum[k];
            partMatches += s.found.matches;
        }
        const PerSetting& worth = partMatches > 0 ? partWorth : allWorth;
        // A guided part resting on few matches: its weights vary, and the sample variance of a
        // few of them is itself uncertain and, where they have a long tail, too small.
        const double thin = part.guided && partMatches < kSureMatches
                                ? static_cast<double>(kSureMatches) /
                                      static_cast<double>(std::max<std::int64_t>(partMatches, 1))
                                : 1;
        const auto typicalOf = static_cast<double>(partMatches > 0 ? partMatches : allMatches);
        for (const Stratum& s : part.strata) {
            if (s.orders == 0) continue;
            const auto n = static_cast<double>(s.orders);
            PerSetting factor{};  // e^(ln M_s - scale_s) / orders
            for (std::size_t k = 0; k < kSettings; ++k) {
                factor[k] = std::isfinite(scale[k]) ? std::exp(s.logM[k] - scale[k]) / n : 0;
            }
            std::array<PerSetting, kSettings> cov{};  // of one order's worth
            if (s.found.matches == 0) {
                if (typicalOf <= 0) continue;
                for (std::size_t a = 0; a < kSettings; ++a) {
                    for (std::size_t b = 0; b < kSettings; ++b) {
                        cov[a][b] = 0.5 * (worth[a] / typicalOf) * (worth[b] / typicalOf) / n;
                    }
                }
            } else {
                const double hits = n / static_cast<double>(s.found.matches) - 1;
                double sample = 0, least = 0;
                for (std::size_t a = 0; a < kSettings; ++a) {
                    const double meanA = s.found.sum[a] / n;
                    for (std::size_t b = 0; b < kSettings; ++b) {
                        const double meanB = s.found.sum[b] / n;
                        cov[a][b] = s.found.products[a][b] / n - meanA * meanB;
                    }
                    sample += cov[a][a];
                    least += meanA * meanA * hits;
                }
                if (least > sample) {
                    for (std::size_t a = 0; a < kSettings; ++a) {
                        for (std::size_t b = 0; b < kSettings; ++b) {
                            cov[a][b] = s.found.sum[a] / n * s.found.sum[b] / n * hits;
                        }
                    }
                }
                for (std::size_t a = 0; a < kSettings; ++a)
                    sums.value[a] += factor[a] * s.found.sum[a];
            }
            for (std::size_t a = 0; a < kSettings; ++a) {
                for (std::size_t b = 0; b < kSettings; ++b) {
                    sums.cov[a][b] += thin * factor[a] * factor[b] * n * cov[a][b];
                }
            }
        }
    }
    return sums;
}

// The log-likelihood and the posterior with their Monte Carlo errors.
void AddPosterior(const Sums& sums, const PerSetting& scale, const PerSetting& prior,
                  LikelihoodEstimate& estimate) {
    const PerSetting& value = sums.value;
    for (std::size_t k = 0; k < kSettings; ++k) {
        estimate.logLikelihood[k] = value[k] > 0 ? scale[k] + std::log(value[k]) : kMinusInfinity;
        estimate.logLikelihoodSe[k] = value[k] > 0 ? std::sqrt(sums.cov[k][k]) / value[k] : 0;
    }
    double best = kMinusInfinity;
    for (std::size_t k = 0; k < kSettings; ++k) {
        if (prior[k] > 0) best = std::max(best, std::log(prior[k]) + estimate.logLikelihood[k]);
    }
    if (best == kMinusInfinity) return;
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
                variance += gradient[t] * gradient[u] * sums.cov[t][u];
            }
        }
        estimate.posteriorSe[a] = std::sqrt(std::max(0.0, variance));
    }
}

// Where the machine may stand, with its chance under each setting given what was shown.
std::vector<EndState> EndStates(const std::vector<Part>& parts, const PerSetting& scale,
                                const PerSetting& value) {
    std::map<std::pair<OrderEnd, std::int32_t>, PerSetting> ends;  // by end and AR games played
    for (const Part& part : parts) {
        for (const Stratum& s : part.strata) {
            if (s.found.matches == 0) continue;
            const PerSetting factor = StratumFactor(s, scale);
            for (const auto& [end, sum] : s.found.ends) {
                PerSetting& chance = ends[{end, part.arPlayed}];
                for (std::size_t k = 0; k < kSettings; ++k) chance[k] += factor[k] * sum[k];
            }
        }
    }
    std::vector<EndState> states;
    for (const auto& [where, sum] : ends) {
        EndState end{where.first.state, where.first.arLength, where.second, {}};
        for (std::size_t k = 0; k < kSettings; ++k) {
            end.chance[k] = value[k] > 0 ? sum[k] / value[k] : 0;
        }
        states.push_back(std::move(end));
    }
    return states;
}

// The likelihood, posterior and its error from the orders played so far; the end states too
// when `withEnds`.
LikelihoodEstimate Assemble(const std::vector<Part>& parts, const PerSetting& prior,
                            bool withEnds) {
    LikelihoodEstimate estimate;
    for (const Part& part : parts) {
        for (const Stratum& s : part.strata) {
            estimate.orders += s.orders;
            estimate.matches += s.found.matches;
        }
    }
    const PerSetting scale = Scales(parts);
    const Sums sums = LikelihoodSums(parts, scale);
    AddPosterior(sums, scale, prior, estimate);
    if (withEnds && estimate.posterior != PerSetting{}) {
        estimate.endStates = EndStates(parts, scale, sums.value);
    }
    return estimate;
}

// The posterior of a likelihood summed over the machine's paths: no Monte Carlo error.
LikelihoodEstimate FromPaths(PathSum&& sum, const PerSetting& prior) {
    LikelihoodEstimate estimate;
    Sums sums;
    PerSetting scale = sum.logLikelihood;
    for (std::size_t k = 0; k < kSettings; ++k) sums.value[k] = std::isfinite(scale[k]) ? 1 : 0;
    AddPosterior(sums, scale, prior, estimate);
    if (estimate.posterior != PerSetting{}) estimate.endStates = std::move(sum.endStates);
    estimate.exact = true;
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
                                                     RunControl* control,
                                                     std::int64_t mostPathStates) {
    if (shown.arGames && mostPathStates > 0) {
        PathSum sum;
        switch (SumOverPaths(shown, odds, mostPathStates, seed, control, sum)) {
            case PathSumStatus::Stopped:
                return std::nullopt;
            case PathSumStatus::Done:
                return FromPaths(std::move(sum), prior);
            case PathSumStatus::TooLarge:
                break;
        }
    }
    std::vector<Part> parts = Parts(shown);
    std::vector<PartOrders> players;
    for (const Part& part : parts) players.emplace_back(part, odds, prior);
    for (std::size_t p = 0; p < parts.size(); ++p) SetUpStrata(parts[p], players[p], odds, prior);
    const auto count = static_cast<std::int64_t>(std::max<std::size_t>(1, parts.size()));
    const std::int64_t pilot = std::max(std::min(kMinPartOrders, orders / 4), orders / 8 / count);
    if (!PlayOrders(parts, players, PilotOrders(parts, pilot), 0, seed, threads, control)) {
        return std::nullopt;
    }
    // Parts whose random orders showed the counter too rarely are played again, guided.
    bool guide = false;
    for (std::size_t p = 0; p < parts.size(); ++p) {
        std::int64_t matches = 0;
        for (const Stratum& s : parts[p].strata) matches += s.found.matches;
        if (players[p].CanGuide() && matches < kGuideBelow) {
            parts[p].guided = guide = true;
            for (Stratum& s : parts[p].strata) s.orders = 0, s.found = {};
        }
    }
    std::vector<std::vector<std::int64_t>> again = PilotOrders(parts, pilot);
    for (std::size_t p = 0; p < parts.size(); ++p) {
        if (!parts[p].guided) std::fill(again[p].begin(), again[p].end(), 0);
    }
    // Guided orders cost some ten times as much as random ones and show the counter far more
    // often: their rounds are smaller, and they stop at a looser target.
    const std::int64_t first = guide ? orders / 2 : orders - orders / 8;
    const std::int64_t further = guide ? orders / 8 : orders;
    const double target = guide ? kGuidedTargetSe : kTargetSe;
    if ((guide && !PlayOrders(parts, players, again, kGuidedPilot, seed, threads, control)) ||
        !PlayOrders(parts, players, RoundOrders(parts, first), 1, seed, threads, control)) {
        return std::nullopt;
    }
    // Further rounds while some posterior probability is less certain than the target.
    for (int round = 2; round <= kMaxRounds; ++round) {
        const LikelihoodEstimate sofar = Assemble(parts, prior, false);
        if (*std::max_element(sofar.posteriorSe.begin(), sofar.posteriorSe.end()) <= target) {
            break;
        }
        if (!PlayOrders(parts, players, RoundOrders(parts, further), round, seed, threads,
                        control)) {
            return std::nullopt;
        }
    }
    return Assemble(parts, prior, true);
}

}  // namespace taviro::stats
