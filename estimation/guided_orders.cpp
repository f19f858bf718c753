#include "estimation/guided_orders.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "estimation/binomial_interval.h"

namespace taviro::stats {

// ln n! from a table for the games of a part (up to kTabled), from ln Γ beyond.
class LogFactorials {
  public:
    explicit LogFactorials(std::int64_t upTo) {
        const std::int64_t size = std::min(upTo, kTabled) + 1;
        table_.resize(static_cast<std::size_t>(size));
        table_[0] = 0;
        for (std::size_t n = 1; n < table_.size(); ++n) {
            table_[n] = table_[n - 1] + std::log(static_cast<double>(n));
        }
    }
    double operator()(std::int64_t n) const {
        return n < static_cast<std::int64_t>(table_.size()) ? table_[static_cast<std::size_t>(n)]
                                                            : LogGamma(static_cast<double>(n) + 1);
    }

  private:
    static constexpr std::int64_t kTabled = std::int64_t{1} << 20;
    std::vector<double> table_;
};

namespace {

// The kinds of BIG (plain, with AR150, with AR1000), their shares of 116 in the orders and the AR
// games each brings.
constexpr std::array<std::int64_t, 3> kShare = {58, 57, 1};
constexpr double kShares = 116;
constexpr std::array<std::int64_t, 3> kArGames = {0, 150, 1000};
constexpr std::int64_t kMostHeld = kStockSlots - 1;  // beyond it the stock queue saturates

// Whether `games` AR games can be made of at most `payments` whole AR150s and AR1000s.
bool WholeArs(std::int64_t games, std::int64_t payments) {
    for (std::int64_t thousands = 0; thousands <= payments && thousands * 1000 <= games;
         ++thousands) {
        const std::int64_t rest = games - thousands * 1000;
        if (rest % 150 == 0 && rest / 150 + thousands <= payments) return true;
    }
    return false;
}

}  // namespace

double GuidedOrders::LogChoose(std::int64_t n, std::int64_t k) const {
    return (*logFactorial_)(n) - (*logFactorial_)(k) - (*logFactorial_)(n - k);
}

// ln of the chance that none of `draws` draws spread at random over `games` games falls in the
// first `first` of them.
double GuidedOrders::LogNoneWithin(std::int64_t games, std::int64_t draws,
                                   std::int64_t first) const {
    if (first <= 0) return 0;
    if (games - first < draws) return -std::numeric_limits<double>::infinity();
    return LogChoose(games - first, draws) - LogChoose(games, draws);
}

// The game of the first of `draws` draws spread at random over `games` games, given that it is
// one of the first `last`.
std::int64_t GuidedOrders::FirstWithin(std::int64_t games, std::int64_t draws, std::int64_t last,
                                       RandomDraws& random) const {
    // Smallest t with P(first > t) <= 1 - u, u uniform over (0, P(first <= last)].
    const double within = -std::expm1(LogNoneWithin(games, draws, last));
    const double target = std::log1p(-random.Unit() * within);
    if (last <= 64) {
        const double bound = std::exp(target);
        double none = 1;  // P(first > t), step by step
        for (std::int64_t t = 1; t < last; ++t) {
            none *= static_cast<double>(games - t - draws + 1) / static_cast<double>(games - t + 1);
            if (none <= bound) return t;
        }
        return last;
    }
    std::int64_t low = 0, high = last;  // P(first > low) > 1 - u >= P(first > high)
    while (high - low > 1) {
        const std::int64_t middle = low + (high - low) / 2;
        (LogNoneWithin(games, draws, middle) <= target ? high : low) = middle;
    }
    return high;
}

namespace {

int NaturalKind(RandomDraws& random) {
    const std::uint32_t share = random.Below(116);
    return share < 58 ? 0 : share < 115 ? 1 : 2;
}

// A kind among those allowed, with their shares.
int AllowedKind(const std::array<bool, 3>& ok, RandomDraws& random) {
    std::int64_t total = 0;
    for (int k = 0; k < 3; ++k) total += ok[k] ? kShare[k] : 0;
    auto pick = static_cast<std::int64_t>(random.Below(static_cast<std::uint32_t>(total)));
    for (int k = 0; k < 3; ++k) {
        if (!ok[k]) continue;
        if (pick < kShare[k]) return k;
        pick -= kShare[k];
    }
    return 2;
}

double KindShare(const std::array<bool, 3>& ok) {
    double mass = 0;
    for (int k = 0; k < 3; ++k) mass += ok[k] ? static_cast<double>(kShare[k]) / kShares : 0;
    return mass;
}

}  // namespace

struct GuidedOrders::Walk {
    Counts c;
    // The draws still to come, in game order, from `next` on: game × 2, plus 1 for a REG.
    std::vector<std::uint64_t> draws;
    std::size_t next = 0;
    // The BIGs waiting, from `head` on: 1 for a hyper BIG. Which AR each brings is drawn when it
    // is paid.
    std::vector<std::uint8_t> queue;
    std::size_t head = 0;
    std::int64_t big150 = 0, big1000 = 0;  // BIGs with AR150 and AR1000 paid so far
    std::int32_t arLeft = 0;               // at the end: an AR under way or starting next game
    double weight = 1;
    SessionDraws scratch;
    struct Split {  // x BIGs and y REGs in an AR, with its chance
        std::int64_t x, y;
        double chance;
    };
    std::vector<Split> splits;  // working space

    bool DrawNext(std::int64_t game) const {
        return next < draws.size() && static_cast<std::int64_t>(draws[next] >> 1) == game;
    }

    // Spreads `bigs` BIG and `regs` REG draws at random over the games after `after` (up to
    // `games`) as the draws still to come, after `first` when given.
    void Respread(std::int64_t games, std::int64_t after, std::int64_t bigs, std::int64_t regs,
                  RandomDraws& random, std::optional<std::uint64_t> first = std::nullopt) {
        draws.clear();
        next = 0;
        if (first) draws.push_back(*first);
        if (bigs + regs == 0) return;
        DrawOrder(random, games - after, bigs, regs, scratch);
        for (std::uint64_t packed : scratch.packed) {
            const std::uint64_t game = (packed >> 2) + static_cast<std::uint64_t>(after);
            draws.push_back(game << 1 | ((packed & 3) == static_cast<int>(Drawn::Reg) ? 1 : 0));
        }
    }

    // The next draw becomes a REG (a BIG): its label is swapped with that of a draw to come
    // chosen at random among those with the label wanted, which leaves the rest as random.
    void Relabel(bool reg, RandomDraws& random) {
        const std::int64_t others = reg ? c.regsLeft : c.bigsLeft;
        auto pick = static_cast<std::int64_t>(random.Below(static_cast<std::uint32_t>(others)));
        for (std::size_t k = next + 1; k < draws.size(); ++k) {
            if ((draws[k] & 1) != (reg ? 1u : 0u)) continue;
            if (pick-- == 0) {
                draws[k] ^= 1;
                draws[next] ^= 1;
                return;
            }
        }
    }
};

GuidedOrders::GuidedOrders(const GuidedGoal& goal, const std::array<SettingOdds, kSettings>& odds,
                           const PerSetting& prior)
    : goal_(goal),
      odds_(odds),
      prior_(prior),
      ratios_(odds),
      logFactorial_(std::make_shared<LogFactorials>(goal.shown.games)) {
    if (goal.shown.arGames) {
        normalGames_ = goal.shown.games - *goal.shown.arGames;
        quietGames_ = normalGames_ - goal.shown.bigs - goal.shown.regs;
    }
}

bool GuidedOrders::LastNormal(const Counts& c) const {
    return goal_.shown.arGames && c.normal == normalGames_;
}

// Whether the counts can still end as they must: the paid counts match, and any further REG and
// BIG the machine must pay, the AR games still to come and the hyper BIGs still to pay can all
// come about. Necessary conditions only, so that no order that can show the counter is lost.
// `arNext`: the games of an AR about to be played (its draws not yet known).
bool GuidedOrders::Viable(const Counts& c, std::int64_t arNext) const {
    const Observation& o = goal_.shown;
    const std::int64_t payB = o.bigs - c.bigs, payR = o.regs - c.regs;
    if (payB < 0 || payR < 0) return false;
    std::int64_t payH = 0, payN = 0;
    if (o.hyperBigs) {
        payH = *o.hyperBigs - c.hyper;
        payN = o.bigs - *o.hyperBigs - (c.bigs - c.hyper);
        if (payH < 0 || payN < 0) return false;
    }
    if (c.held > kMostHeld) return false;
    const std::int64_t after = c.game + arNext;
    if (after == o.games) {
        if (arNext == 0) return Ended(c);
        return c.bigs == o.bigs && c.regs == o.regs && (!o.hyperBigs || c.hyper == *o.hyperBigs) &&
               (!o.arGames || c.ar + arNext == *o.arGames);
    }
    std::int64_t more;  // normal games to come: exactly with the AR count, else at least
    bool arsToCome;     // whether BIGs may still be drawn in AR, to be paid as hyper BIGs
    if (o.arGames) {
        const std::int64_t left = *o.arGames - c.ar - arNext;
        more = normalGames_ - c.normal;
        if (left < 0 || payB + payR > more || !WholeArs(left, payB)) return false;
        // An AR to come needs a paid BIG to start it: a held one, or a normal BIG drawn later.
        if (arNext == 0 && left > 0 && c.held == 0 && o.hyperBigs && payN == 0) return false;
        if (left == 0) {
            // With no AR to come after, every REG waiting or still to be drawn is paid while
            // normal games remain (REGs first); a BIG drawn is a normal BIG, held behind those
            // held now.
            if (payR != std::min(c.regStock + c.regsLeft, more)) return false;
            if (o.hyperBigs && payN == 0 && arNext == 0 && payB > c.held) return false;
            // With nothing held every draw is paid in its game.
            if (arNext == 0 && c.held == 0 && c.regStock == 0 && (c.bigsLeft != payB || payH > 0)) {
                return false;
            }
        }
        arsToCome = left > 0 || arNext > 0;
    } else {
        more = 1;
        arsToCome = arNext > 0 || c.held > 0 || payN > 0;
    }
    // A split part whose paying BIG is hyper must end holding it: not with quiet games to come.
    if (goal_.hyperPaid == true && o.arGames && payB + payR == 0 && more > 0) return false;
    // The next normal games pay what is held, waiting REGs first.
    if (std::min(c.regStock, more) > payR) return false;
    if (std::min(c.regStock + c.held, more) > payB + payR) return false;
    if (arNext == 0 && more > 0 && c.regStock == 0 && c.held > 0) {
        if (payB < 1) return false;
        if (o.hyperBigs && (c.headHyper ? payH : payN) < 1) return false;
    }
    if (o.hyperBigs) {
        // A split part whose paying BIG is hyper ends holding one more hyper BIG.
        // The draws to come bring the normal BIGs still to pay that are not held.
        const std::int64_t hyperNeeded = payH + (goal_.hyperPaid == true ? 1 : 0);
        const std::int64_t normalToDraw = std::max<std::int64_t>(0, payN - (c.held - c.hyperHeld));
        if (hyperNeeded > c.hyperHeld + (arsToCome ? c.bigsLeft - normalToDraw : 0)) return false;
        if (payN > c.held - c.hyperHeld + c.bigsLeft) return false;
    }
    return true;
}

// After the last game: the counter as shown, and for a split part a machine that can pay the AR's
// BIG in the next game (no REG waiting, and the oldest BIG held hyper or not as required).
bool GuidedOrders::Ended(const Counts& c) const {
    const Observation& o = goal_.shown;
    if (c.bigs != o.bigs || c.regs != o.regs) return false;
    if (o.hyperBigs && c.hyper != *o.hyperBigs) return false;
    if (o.arGames && c.ar != *o.arGames) return false;
    if (goal_.arPlayed > 0) {
        if (c.regStock > 0) return false;
        if (c.held == 0) return goal_.hyperPaid != true;
        return !goal_.hyperPaid || *goal_.hyperPaid == c.headHyper;
    }
    return true;
}

// The AR games a BIG of `kind` paid in the last game counted in `after` plays within the games.
std::int64_t GuidedOrders::ArGames(const Counts& after, bool lastNormal, int kind) const {
    const std::int64_t length = kArGames[static_cast<std::size_t>(kind)];
    if (length == 0) return 0;
    if (goal_.shown.arGames) {
        // The last normal game's AR fills the AR games left, or starts after the games.
        return lastNormal && *goal_.shown.arGames == after.ar ? 0 : length;
    }
    return std::min(length, goal_.shown.games - after.game);
}

// Which kinds the BIG paid in the last game counted in `after` can be, and their share.
double GuidedOrders::KindsOk(const Counts& after, bool lastNormal, std::array<bool, 3>& ok) const {
    for (int k = 0; k < 3; ++k) {
        const std::int64_t length = kArGames[static_cast<std::size_t>(k)];
        bool fits = true;
        if (goal_.shown.arGames) {
            const std::int64_t left = *goal_.shown.arGames - after.ar;
            if (!lastNormal) {
                fits = length <= left;  // an AR before the last normal game is played whole
            } else if (goal_.rule == EndRule::ArOver) {
                fits = left == 0 ? length == 0 : length == left;
            } else {  // the last game is this one: an AR it brings starts after the games
                fits = left == 0;
            }
        }
        ok[static_cast<std::size_t>(k)] = fits && Viable(after, ArGames(after, lastNormal, k));
    }
    return KindShare(ok);
}

// Pays the BIG of the last game counted in `after` as one of `kind`, and plays its AR.
bool GuidedOrders::PayBig(Walk& w, const Counts& after, int kind, RandomDraws& random) const {
    w.c = after;
    w.big150 += kind == 1;
    w.big1000 += kind == 2;
    const std::int64_t length = kArGames[static_cast<std::size_t>(kind)];
    if (length == 0) return true;
    const std::int64_t games = ArGames(after, LastNormal(after), kind);
    w.arLeft = static_cast<std::int32_t>(length - games);  // non-zero only at the end
    return games == 0 || Ar(w, games, random);
}

// Normal play with nothing held: quiet games up to the next draw, which is paid at once.
bool GuidedOrders::Gap(Walk& w, RandomDraws& random) const {
    Counts& c = w.c;
    const std::int64_t games = goal_.shown.games;
    const std::int64_t left = games - c.game;
    const std::int64_t draws = c.bigsLeft + c.regsLeft;
    if (draws == 0) {  // the rest are quiet normal games
        c.quiet += left;
        c.normal += left;
        c.game = games;
        return Ended(c) && (!goal_.shown.arGames || c.quiet == quietGames_);
    }
    // What the draw, falling in the t-th game from here, can be: a BIG is paid at once as a
    // normal BIG, a REG too. The masses count the draws of each label that can end right.
    struct Fall {
        Counts big, reg;
        std::array<bool, 3> kinds{};
        double bigMass = 0, regMass = 0;
    };
    auto fall = [&](std::int64_t t) {
        Fall f;
        Counts after = c;
        after.quiet += t - 1;
        after.normal += t;
        after.game += t;
        f.big = f.reg = after;
        ++f.big.bigs;
        --f.big.bigsLeft;
        ++f.reg.regs;
        --f.reg.regsLeft;
        if (c.bigsLeft > 0) {
            f.bigMass =
                static_cast<double>(c.bigsLeft) * KindsOk(f.big, LastNormal(after), f.kinds);
        }
        if (c.regsLeft > 0 && Viable(f.reg, 0)) f.regMass = static_cast<double>(c.regsLeft);
        return f;
    };
    std::int64_t t = static_cast<std::int64_t>(w.draws[w.next] >> 1) - c.game;
    Fall f;
    if (!goal_.shown.arGames) {
        f = fall(t);
        if (f.bigMass + f.regMass <= 0) return false;
        w.weight *= (f.bigMass + f.regMass) / static_cast<double>(draws);
    } else {
        // The quiet games are counted: the draw falls within them and one more, and only there
        // in the last normal game. Where it can fall splits in two: before the last such game
        // (all alike) and in it.
        const std::int64_t last = std::min(quietGames_ - c.quiet + 1, left - draws + 1);
        if (last < 1) return false;
        const bool lastNormal = normalGames_ - c.normal == last;
        const std::int64_t early = lastNormal ? last - 1 : last;
        const double noneEarly = early > 0 ? std::exp(LogNoneWithin(left, draws, early)) : 1;
        const double pEarly = early > 0 ? -std::expm1(LogNoneWithin(left, draws, early)) : 0;
        const double pLast =
            lastNormal ? noneEarly - std::exp(LogNoneWithin(left, draws, last)) : 0;
        const Fall fEarly = early > 0 ? fall(1) : Fall{};
        const Fall fLast = lastNormal ? fall(last) : Fall{};
        const double mEarly = pEarly * (fEarly.bigMass + fEarly.regMass);
        const double mLast = pLast * (fLast.bigMass + fLast.regMass);
        if (!(mEarly + mLast > 0)) return false;
        w.weight *= (mEarly + mLast) / static_cast<double>(draws);
        const bool natural = t <= last;
        const bool inLast = natural && lastNormal && t == last;
        f = inLast ? fLast : fEarly;
        const bool drewReg = (w.draws[w.next] & 1) != 0;
        const bool fits = natural && (drewReg ? f.regMass > 0 : f.bigMass > 0);
        if (!fits) {
            // Drawn again: first where it falls, then (below) what it is.
            const bool toLast = (1 - random.Unit()) * (mEarly + mLast) > mEarly;
            f = toLast ? fLast : fEarly;
            const std::int64_t at = toLast ? last : FirstWithin(left, draws, early, random);
            if (at != t) {
                const std::uint64_t first =
                    static_cast<std::uint64_t>(c.game + at) << 1 | (w.draws[w.next] & 1);
                const bool reg = (first & 1) != 0;
                w.Respread(games, c.game + at, c.bigsLeft - (reg ? 0 : 1),
                           c.regsLeft - (reg ? 1 : 0), random, first);
                t = at;
            }
            if (t != 1 && !toLast) {  // the counts of an early game as they fall
                f = fall(t);
            }
        } else if (!inLast && t != 1) {
            f = fall(t);
        }
    }
    // The draw and its kind as the order has them, if they can end right; else drawn again
    // among those that can.
    const bool drewReg = (w.draws[w.next] & 1) != 0;
    bool isReg = drewReg;
    int kind = NaturalKind(random);
    if (drewReg ? f.regMass <= 0 : !f.kinds[static_cast<std::size_t>(kind)]) {
        isReg = (1 - random.Unit()) * (f.bigMass + f.regMass) > f.bigMass;
        if (!isReg) kind = AllowedKind(f.kinds, random);
        if (isReg != drewReg) w.Relabel(isReg, random);
    }
    ++w.next;
    if (isReg) {
        w.c = f.reg;
        return true;
    }
    return PayBig(w, f.big, kind, random);
}

// Normal play with something held: the game draws (a BIG is held behind the others, a REG is paid
// before them) and pays a waiting REG or else the oldest BIG.
bool GuidedOrders::Payment(Walk& w, RandomDraws& random) const {
    const Counts& c = w.c;
    const std::int64_t games = goal_.shown.games;
    const std::int64_t left = games - c.game;
    const std::int64_t draws = c.bigsLeft + c.regsLeft;
    const bool secondHyper = c.held > 1 && w.queue[w.head + 1] == 1;
    struct Option {
        Counts after;
        double mass = 0;  // chance of the draw times the share of it that can still end right
        bool paysBig = false;
        std::array<bool, 3> kinds{};
    };
    std::array<Option, 3> options;  // nothing drawn, a BIG, a REG
    for (int o = 0; o < 3; ++o) {
        const std::int64_t ways = o == 0 ? left - draws : o == 1 ? c.bigsLeft : c.regsLeft;
        if (ways <= 0) continue;
        Option& option = options[static_cast<std::size_t>(o)];
        Counts a = c;
        ++a.game;
        ++a.normal;
        const bool drewBig = o == 1;
        if (o == 1) --a.bigsLeft;
        if (o == 2) {
            --a.regsLeft;
            ++a.regStock;
        }
        if (a.regStock > 0) {
            --a.regStock;
            ++a.regs;
        } else {  // the oldest BIG is paid
            ++a.bigs;
            if (a.headHyper) {
                ++a.hyper;
                --a.hyperHeld;
            }
            --a.held;
            a.headHyper = secondHyper;
            option.paysBig = true;
        }
        if (drewBig) {
            if (a.held == 0) a.headHyper = false;
            ++a.held;
        }
        option.after = a;
        const double share =
            option.paysBig ? KindsOk(a, LastNormal(a), option.kinds) : (Viable(a, 0) ? 1.0 : 0.0);
        option.mass = static_cast<double>(ways) * share;
    }
    const double total = options[0].mass + options[1].mass + options[2].mass;
    if (total <= 0) return false;
    w.weight *= total / static_cast<double>(left);
    const bool drawn = w.DrawNext(c.game + 1);
    const int natural = !drawn ? 0 : (w.draws[w.next] & 1) != 0 ? 2 : 1;
    int chosen = natural;
    const Option& mine = options[static_cast<std::size_t>(natural)];
    int kind = NaturalKind(random);
    const bool redraw =
        mine.mass <= 0 || (mine.paysBig && !mine.kinds[static_cast<std::size_t>(kind)]);
    if (redraw) {
        double pick = (1 - random.Unit()) * total;
        for (chosen = 0; chosen < 2; ++chosen) {
            pick -= options[static_cast<std::size_t>(chosen)].mass;
            if (pick < 0) break;
        }
        while (options[static_cast<std::size_t>(chosen)].mass <= 0) --chosen;  // rounding
        const std::int64_t at = c.game + 1;
        if (chosen == 0) {  // nothing here: the draws are spread over the later games
            w.Respread(games, at, c.bigsLeft, c.regsLeft, random);
        } else if (drawn) {  // the other kind of draw here
            w.Relabel(chosen == 2, random);
        } else {  // a draw here, the others spread over the later games
            const bool reg = chosen == 2;
            w.Respread(games, at, c.bigsLeft - (reg ? 0 : 1), c.regsLeft - (reg ? 1 : 0), random,
                       static_cast<std::uint64_t>(at) << 1 | (reg ? 1 : 0));
        }
    }
    const Option& option = options[static_cast<std::size_t>(chosen)];
    if (redraw && option.paysBig) kind = AllowedKind(option.kinds, random);
    if (chosen != 0) ++w.next;
    if (chosen == 1) w.queue.push_back(0);
    if (!option.paysBig) {
        w.c = option.after;
        return true;
    }
    ++w.head;
    return PayBig(w, option.after, kind, random);
}

// What an AR may gather for the machine to end as it must: x BIGs and y REGs with x in [xLow,
// xHigh], y at most yHigh, x + y at most sumHigh, and, when `regNeeded`, a REG unless nothing at
// all is held. Each bound follows from a condition of Viable, so nothing possible is left out.
struct GuidedOrders::ArBounds {
    std::int64_t xLow = 0, xHigh = 0, yHigh = 0, sumHigh = 0;
    bool regNeeded = false;

    bool Allow(std::int64_t x, std::int64_t y, std::int64_t heldBefore) const {
        return x >= xLow && x <= xHigh && y <= yHigh && x + y <= sumHigh &&
               !(regNeeded && y == 0 && (x > 0 || heldBefore > 0));
    }
};

GuidedOrders::ArBounds GuidedOrders::Bounds(const Counts& c, std::int64_t games) const {
    constexpr std::int64_t kAny = std::numeric_limits<std::int64_t>::max() / 4;
    const Observation& o = goal_.shown;
    ArBounds b{0, std::min(c.bigsLeft, kMostHeld - c.held), kAny, kAny, false};
    const std::int64_t payB = o.bigs - c.bigs, payR = o.regs - c.regs;
    const std::int64_t payH = o.hyperBigs ? *o.hyperBigs - c.hyper : 0;
    const std::int64_t payN = o.hyperBigs ? o.bigs - *o.hyperBigs - (c.bigs - c.hyper) : 0;
    if (c.game + games == o.games) {
        // The end: for a split part no REG may wait, and the oldest BIG held is as required.
        if (goal_.arPlayed > 0) {
            b.yHigh = c.regStock > 0 ? -1 : 0;
            // With nothing held before, the oldest BIG held after is hyper when the AR drew any.
            if (c.held == 0 && goal_.hyperPaid == true) b.xLow = 1;
            if (c.held == 0 && goal_.hyperPaid == false) b.xHigh = 0;
        }
        return b;
    }
    std::int64_t more = 1;
    bool arsToCome = c.held > 0 || payN > 0;
    if (o.arGames) {
        const std::int64_t left = *o.arGames - c.ar - games;
        more = normalGames_ - c.normal;
        arsToCome = left > 0;
        if (left > 0 && c.held == 0 && o.hyperBigs && payN == 0) b.xLow = 1;
    }
    if (more > payR) b.yHigh = payR - c.regStock;
    if (more > payB + payR) b.sumHigh = payB + payR - c.regStock - c.held;
    if (c.regStock == 0 && more > 0) {
        const bool head = c.held > 0 ? c.headHyper : true;
        b.regNeeded = payB < 1 || (o.hyperBigs && (head ? payH : payN) < 1);
    }
    if (o.hyperBigs) {
        if (!arsToCome && payH > c.hyperHeld) {
            b.xLow = std::max(b.xLow, o.arGames ? payH - c.hyperHeld : std::int64_t{1});
        }
        b.xHigh = std::min(b.xHigh, c.held - c.hyperHeld + c.bigsLeft - payN);
    }
    return b;
}

// An AR of `games` games after the last game counted: what it draws is held, the BIGs as hyper
// BIGs.
bool GuidedOrders::Ar(Walk& w, std::int64_t games, RandomDraws& random) const {
    const Counts& c = w.c;
    const std::int64_t total = goal_.shown.games;
    const std::int64_t left = total - c.game;
    const std::int64_t end = c.game + games;
    std::int64_t bigs = 0, regs = 0;  // what the order brings into it
    std::size_t k = w.next;
    for (; k < w.draws.size() && static_cast<std::int64_t>(w.draws[k] >> 1) <= end; ++k) {
        ((w.draws[k] & 1) != 0 ? regs : bigs) += 1;
    }
    // The splits of the draws between the AR and the later games: x BIGs and y REGs in the AR,
    // with chance C(B, x) C(R, y) C(rest, games - x - y) / C(left, games).
    const std::int64_t rest = left - c.bigsLeft - c.regsLeft;
    const std::int64_t xFirst = std::max<std::int64_t>(0, games - rest - c.regsLeft);
    const std::int64_t xLast = std::min(games, c.bigsLeft);
    const ArBounds b = Bounds(c, games);
    const bool all = b.xLow <= xFirst && b.xHigh >= xLast &&
                     b.yHigh >= std::min(games, c.regsLeft) &&
                     b.sumHigh >= std::min(games, c.bigsLeft + c.regsLeft) && !b.regNeeded;
    std::int64_t x = bigs, y = regs;
    bool respread = false;
    if (!all) {
        std::vector<Walk::Split>& splits = w.splits;
        splits.clear();
        double kept = 0, topX = 0;
        // P(x) for the BIGs, then P(y | x) for the REGs among the AR's other games, each by the
        // ratio of neighbouring terms from the first one.
        const std::int64_t others = left - c.bigsLeft;  // games without a BIG draw
        const std::int64_t xStart = std::max(xFirst, b.xLow);
        const std::int64_t xStop = std::min(xLast, b.xHigh);
        double px = xStart > xLast
                        ? 0
                        : std::exp(LogChoose(c.bigsLeft, xStart) +
                                   LogChoose(others, games - xStart) - LogChoose(left, games));
        for (std::int64_t bx = xStart; bx <= xStop && px > 0; ++bx) {
            const std::int64_t g = games - bx;  // the AR's games without a BIG draw
            const std::int64_t yFirst = std::max<std::int64_t>(0, g - rest);
            const std::int64_t yLast = std::min({g, c.regsLeft, b.yHigh, b.sumHigh - bx});
            if (yFirst <= yLast) {
                double py = std::exp(LogChoose(c.regsLeft, yFirst) + LogChoose(rest, g - yFirst) -
                                     LogChoose(others, g));
                double top = 0;
                for (std::int64_t ry = yFirst; ry <= yLast; ++ry) {
                    const double chance = px * py;
                    if (b.Allow(bx, ry, c.held) && chance > 0) {
                        splits.push_back({bx, ry, chance});
                        kept += chance;
                    }
                    top = std::max(top, chance);
                    if (chance < top * 1e-18) break;  // the rest is smaller still
                    py *= static_cast<double>((c.regsLeft - ry) * (g - ry)) /
                          static_cast<double>((ry + 1) * (rest - g + ry + 1));
                }
            }
            topX = std::max(topX, px);
            if (px < topX * 1e-18) break;  // past the most likely x: the rest is smaller still
            px *= static_cast<double>((c.bigsLeft - bx) * (games - bx)) /
                  static_cast<double>((bx + 1) * (others - games + bx + 1));
        }
        if (!(kept > 0)) return false;
        w.weight *= std::min(1.0, kept);
        if (!b.Allow(bigs, regs, c.held)) {
            double pick = (1 - random.Unit()) * kept;
            std::size_t i = 0;
            for (; i + 1 < splits.size(); ++i) {
                pick -= splits[i].chance;
                if (pick < 0) break;
            }
            x = splits[i].x;
            y = splits[i].y;
            respread = true;
            w.Respread(total, end, c.bigsLeft - x, c.regsLeft - y, random);
        }
    }
    if (!respread) w.next = k;
    Counts a = c;
    a.game = end;
    a.ar += games;
    a.bigsLeft -= x;
    a.regsLeft -= y;
    a.regStock += y;
    if (a.held == 0 && x > 0) a.headHyper = true;
    a.held += x;
    a.hyperHeld += x;
    w.c = a;
    w.queue.insert(w.queue.end(), static_cast<std::size_t>(x), std::uint8_t{1});
    return Viable(w.c, 0);
}

double GuidedOrders::Walked(Walk& w, RandomDraws& random) const {
    while (w.c.game < goal_.shown.games) {
        const bool holds = w.c.regStock > 0 || w.c.held > 0;
        if (!(holds ? Payment(w, random) : Gap(w, random))) return 0;
    }
    return Ended(w.c) ? w.weight : 0;
}

bool GuidedOrders::Finish(Walk& w, RandomDraws& random, OrderTally& tally) const {
    // The kinds of the BIGs still held; for a split part the oldest one must bring an AR longer
    // than the games of it played.
    MachineState state;
    state.arLeft = w.arLeft;
    state.regStock = static_cast<std::int32_t>(w.c.regStock);
    std::int64_t n150 = w.big150, n1000 = w.big1000;
    std::int32_t headLength = 0;
    for (std::size_t i = w.head; i < w.queue.size(); ++i) {
        int kind = 0;
        if (goal_.arPlayed > 0 && i == w.head) {
            const std::array<bool, 3> ok = {false, 150 >= goal_.arPlayed, true};
            w.weight *= KindShare(ok);
            kind = AllowedKind(ok, random);
            headLength = static_cast<std::int32_t>(kArGames[static_cast<std::size_t>(kind)]);
        } else {
            kind = NaturalKind(random);
        }
        n150 += kind == 1;
        n1000 += kind == 2;
        state.queue.push_back(
            static_cast<std::uint8_t>(kind + (w.queue[i] != 0 ? kHyperBig : kNormalBig)));
    }
    PerSetting worth{};
    for (std::size_t s = 0; s < kSettings; ++s) {
        worth[s] = w.weight * std::pow(ratios_.ratio150[s], static_cast<double>(n150)) *
                   std::pow(ratios_.ratio1000[s], static_cast<double>(n1000));
    }
    std::vector<OrderWorth> worths;
    double most = 0;
    if (goal_.arPlayed == 0) {
        worths.push_back({{std::move(state), 0}, worth});
        most = w.weight;
    } else {
        // The game after pays the AR's BIG: drawn in it when nothing is held, else the oldest
        // BIG held, unless the game draws a REG.
        std::vector<std::pair<std::int32_t, PerSetting>> chances;
        if (w.c.held == 0) {
            for (const Drawn kind : {Drawn::Big150, Drawn::Big1000}) {
                const std::int32_t length = kind == Drawn::Big150 ? 150 : 1000;
                if (length < goal_.arPlayed) continue;
                PerSetting chance{};
                for (std::size_t s = 0; s < kSettings; ++s) chance[s] = odds_[s].Chance(kind);
                chances.emplace_back(length, chance);
            }
        } else {
            PerSetting chance{};
            for (std::size_t s = 0; s < kSettings; ++s) chance[s] = 1 - odds_[s].RegChance();
            chances.emplace_back(headLength, chance);
        }
        PerSetting sum{};
        for (const auto& [length, chance] : chances) {
            OrderWorth w2{{state, length}, {}};
            for (std::size_t s = 0; s < kSettings; ++s) {
                w2.worth[s] = worth[s] * chance[s];
                sum[s] += chance[s];
            }
            worths.push_back(std::move(w2));
        }
        double top = 0;
        for (std::size_t s = 0; s < kSettings; ++s) {
            if (prior_[s] > 0) top = std::max(top, sum[s]);
        }
        most = w.weight * top;
    }
    tally.Add(worths, most);
    return true;
}

bool GuidedOrders::Possible(std::int64_t bigs, std::int64_t regs) const {
    Counts start;
    start.bigsLeft = bigs;
    start.regsLeft = regs;
    return Viable(start, 0);
}

void GuidedOrders::Play(std::int64_t bigs, std::int64_t regs, std::int64_t orders,
                        std::uint64_t seed, OrderTally& tally) const {
    RandomDraws random(seed);
    Walk w;
    for (std::int64_t n = 0; n < orders; ++n) {
        w.c = {};
        w.c.bigsLeft = bigs;
        w.c.regsLeft = regs;
        w.queue.clear();
        w.head = 0;
        w.big150 = w.big1000 = 0;
        w.arLeft = 0;
        w.weight = 1;
        w.Respread(goal_.shown.games, 0, bigs, regs, random);
        if (Walked(w, random) > 0) Finish(w, random, tally);
    }
}

}  // namespace taviro::stats
