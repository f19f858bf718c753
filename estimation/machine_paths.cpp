#include "estimation/machine_paths.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <tuple>

#include "core/xoshiro.h"
#include "estimation/binomial_interval.h"
#include "estimation/random_draws.h"

namespace taviro::stats {

namespace {

// What a state can carry: one bit per BIG held beyond those to be paid, and the widths of its
// packed key.
constexpr std::int32_t kMostHeldBits = 63;
constexpr std::int32_t kMostRegs = 63;
constexpr std::int64_t kMostPaid = 1000;                      // BIGs or REGs
constexpr std::int64_t kMostArUnits = std::int64_t{1} << 26;  // AR games are counted in 50s
// Counts of bonuses an AR gathers that are rarer than this (against the likeliest count) are kept
// apart only as far as they can still be paid; beyond, they are counted with the last one kept.
constexpr double kTailKept = 1e-9;
// Machines kept of each class of states that hold more than can still be paid.
constexpr std::size_t kParticles = 16;
// The AR table runs this far past the counts kept apart, so that what it leaves out is nothing.
constexpr std::int32_t kTailRun = 40;
// End states: the kinds of the first BIGs held are each taken in turn; later ones are drawn.
constexpr std::int32_t kKindsSpelled = 2;
constexpr std::array<std::int32_t, 3> kArGamesOfKind = {0, 150, 1000};
// The shares of the kinds of BIG (plain, AR150, AR1000) that later BIGs' kinds are drawn with.
constexpr std::array<std::uint32_t, 3> kDrawnShare = {58, 57, 1};

PerSetting Times(const PerSetting& a, const PerSetting& b) {
    PerSetting p;
    for (std::size_t s = 0; s < kSettings; ++s) p[s] = a[s] * b[s];
    return p;
}

double LogAdd(double a, double b) {
    if (a == kMinusInfinity) return b;
    if (b == kMinusInfinity) return a;
    const double top = std::max(a, b);
    return top + std::log1p(std::exp(std::min(a, b) - top));
}

double LogChoose(std::int64_t n, std::int64_t k) {
    return LogGamma(static_cast<double>(n) + 1) - LogGamma(static_cast<double>(k) + 1) -
           LogGamma(static_cast<double>(n - k) + 1);
}

// count · ln p, with 0 · ln 0 = 0.
double LogPower(double p, std::int64_t count) {
    if (count == 0) return 0;
    return p > 0 ? static_cast<double>(count) * std::log(p) : kMinusInfinity;
}

// The chances of one game's draw under each setting, and the shares of the kinds of BIG.
struct GameChances {
    PerSetting none{}, reg{}, big{}, notReg{};
    std::array<PerSetting, 3> drawn{};  // a BIG of each kind (plain, AR150, AR1000)
    std::array<PerSetting, 3> share{};  // of the BIGs, those of each kind

    explicit GameChances(const std::array<SettingOdds, kSettings>& odds) {
        for (std::size_t s = 0; s < kSettings; ++s) {
            const auto& v = odds[s].values;
            const auto g = static_cast<double>(kGeneratorValues);
            const auto bigs = static_cast<double>(v[0] + v[1] + v[2]);
            big[s] = bigs / g;
            reg[s] = static_cast<double>(v[3]) / g;
            none[s] = static_cast<double>(kGeneratorValues - v[0] - v[1] - v[2] - v[3]) / g;
            notReg[s] = none[s] + big[s];
            for (std::size_t k = 0; k < 3; ++k) {
                drawn[k][s] = static_cast<double>(v[k]) / g;
                share[k][s] = bigs > 0 ? static_cast<double>(v[k]) / bigs : 0;
            }
        }
    }
};

// What an AR of `length` games gathers, x BIGs and y REGs (multinomial), with the chance of each
// count and of the counts from it up: [x][y] for x ≤ xLast, y ≤ yLast.
struct ArGathering {
    struct Cell {
        PerSetting exactly{}, fromX{}, fromY{}, fromBoth{};
    };
    std::int32_t xLast = 0, yLast = 0;  // counts kept apart up to these
    std::int32_t xRare = 0, yRare = 0;  // counts from these on are rarer than kTailKept
    std::vector<Cell> cells;

    // The chance of x and y, or of x (y) and more when it is the last kept apart.
    const PerSetting& Chance(std::int32_t x, std::int32_t y, std::int32_t xEnd,
                             std::int32_t yEnd) const {
        const Cell& c = cells[static_cast<std::size_t>(x) * static_cast<std::size_t>(yLast + 1) +
                              static_cast<std::size_t>(y)];
        if (x < xEnd) return y < yEnd ? c.exactly : c.fromY;
        return y < yEnd ? c.fromX : c.fromBoth;
    }
};

// Where each count's own chance falls below kTailKept of its likeliest, over the settings.
std::int32_t RareFrom(std::int32_t length, const PerSetting& p) {
    std::int32_t last = 1;
    for (std::size_t s = 0; s < kSettings; ++s) {
        if (!(p[s] > 0)) continue;
        auto logPmf = [&](std::int32_t k) {
            return LogChoose(length, k) + LogPower(p[s], k) + LogPower(1 - p[s], length - k);
        };
        std::int32_t k =
            std::min(static_cast<std::int32_t>(std::floor((length + 1) * p[s])), length);
        const double floor = logPmf(k) + std::log(kTailKept);
        while (k < length && logPmf(k) >= floor) ++k;
        last = std::max(last, k);
    }
    return last;
}

ArGathering Gathering(std::int32_t length, std::int64_t bigsShown, std::int64_t regsShown,
                      const GameChances& c) {
    ArGathering g;
    g.xRare = RareFrom(length, c.big);
    g.yRare = RareFrom(length, c.reg);
    g.xLast = static_cast<std::int32_t>(
        std::min<std::int64_t>(length, std::max<std::int64_t>(bigsShown + 1, g.xRare)));
    g.yLast = static_cast<std::int32_t>(
        std::min<std::int64_t>(length, std::max<std::int64_t>(regsShown + 1, g.yRare)));
    const std::int32_t xAll = std::min(length, g.xLast + kTailRun);
    const std::int32_t yAll = std::min(length, g.yLast + kTailRun);
    const auto width = static_cast<std::size_t>(yAll + 2);
    std::vector<ArGathering::Cell> table(static_cast<std::size_t>(xAll + 2) * width);
    auto at = [width](std::int32_t x, std::int32_t y) {
        return static_cast<std::size_t>(x) * width + static_cast<std::size_t>(y);
    };
    for (std::int32_t x = xAll; x >= 0; --x) {
        for (std::int32_t y = yAll; y >= 0; --y) {
            ArGathering::Cell& cell = table[at(x, y)];
            for (std::size_t s = 0; s < kSettings; ++s) {
                if (x + y <= length) {
                    cell.exactly[s] =
                        std::exp(LogGamma(length + 1.0) - LogGamma(x + 1.0) - LogGamma(y + 1.0) -
                                 LogGamma(length - x - y + 1.0) + LogPower(c.big[s], x) +
                                 LogPower(c.reg[s], y) + LogPower(c.none[s], length - x - y));
                }
                // Sums from each count up, within the table (what lies beyond is negligible).
                cell.fromX[s] = cell.exactly[s] + table[at(x + 1, y)].fromX[s];
                cell.fromY[s] = cell.exactly[s] + table[at(x, y + 1)].fromY[s];
                cell.fromBoth[s] = cell.fromY[s] + table[at(x + 1, y)].fromBoth[s];
            }
        }
    }
    for (std::int32_t x = 0; x <= g.xLast; ++x) {
        for (std::int32_t y = 0; y <= g.yLast; ++y) g.cells.push_back(table[at(x, y)]);
    }
    return g;
}

// The machine between two paying games, and the counts so far. The BIGs held that can still be
// paid (up to the BIGs the reading has left to pay) will all be paid, whatever their order, and
// which AR a BIG brings does not depend on whether it is hyper: of them only the count matters,
// and the hyper ones are counted with those paid. What is held beyond is kept as it is, for the
// end states.
struct State {
    std::uint64_t tail = 0;     // BIGs held beyond those, the oldest in bit 0: 1 for hyper
    std::int32_t tailHeld = 0;  // how many
    std::int32_t window = 0;    // BIGs held that will be paid
    std::int32_t regStock = 0;  // REGs waiting
    std::int32_t bigs = 0;      // BIGs paid (the REGs paid are the paying games less these)
    std::int32_t destined = 0;  // hyper BIGs paid or held to be paid (0 without the hyper count)
    std::int32_t arDone = 0;    // AR games of the ARs played

    bool Idle() const { return window == 0 && tailHeld == 0 && regStock == 0; }
};

struct Key {
    std::uint64_t tail = 0, rest = 0;
    bool operator==(const Key&) const = default;
};

Key KeyOf(const State& s) {
    const auto u = [](std::int64_t v) { return static_cast<std::uint64_t>(v); };
    return {s.tail, u(s.window) | u(s.tailHeld) << 6 | u(s.regStock) << 12 | u(s.bigs) << 18 |
                        u(s.destined) << 28 | u(s.arDone / 50) << 38};
}

// Keys to places 0, 1, 2, ... in the order they were first seen.
class KeyIndex {
  public:
    void Clear() {
        keys_.clear();
        std::fill(table_.begin(), table_.end(), -1);
    }

    // The place of `key`; `fresh` tells whether it was new.
    std::size_t Place(const Key& key, bool& fresh) {
        if (2 * (keys_.size() + 1) > table_.size()) Grow();
        const std::size_t mask = table_.size() - 1;
        for (std::size_t i = Hash(key) & mask;; i = (i + 1) & mask) {
            const std::int32_t at = table_[i];
            if (at < 0) {
                table_[i] = static_cast<std::int32_t>(keys_.size());
                keys_.push_back(key);
                fresh = true;
                return keys_.size() - 1;
            }
            if (keys_[static_cast<std::size_t>(at)] == key) {
                fresh = false;
                return static_cast<std::size_t>(at);
            }
        }
    }

  private:
    static std::size_t Hash(const Key& k) {
        const std::uint64_t h = (k.rest ^ (k.tail * 0x9e3779b97f4a7c15ULL)) * 0xbf58476d1ce4e5b9ULL;
        return static_cast<std::size_t>(h ^ (h >> 31));
    }

    void Grow() {
        table_.assign(std::max<std::size_t>(64, table_.size() * 2), -1);
        const std::size_t mask = table_.size() - 1;
        for (std::size_t n = 0; n < keys_.size(); ++n) {
            std::size_t i = Hash(keys_[n]) & mask;
            while (table_[i] >= 0) i = (i + 1) & mask;
            table_[i] = static_cast<std::int32_t>(n);
        }
    }

    std::vector<Key> keys_;
    std::vector<std::int32_t> table_;
};

// One machine of a class of states that hold more than can still be paid (which go on alike),
// with its share of the class's mass.
struct Particle {
    Key kind;  // the class
    State state;
    PerSetting weight{};
};

// Where a path ends: the machine after the last game, or, when the games end in an AR, the
// machine before the game that paid its BIG (the oldest held, or drawn in that game).
struct EndKey {
    std::uint64_t flags = 0;  // the BIGs held, oldest in bit 0: 1 for hyper
    std::int32_t held = 0, regStock = 0;
    std::int32_t arLeft = 0;                  // an AR that starts with the game after the last
    std::int32_t arLength = 0, arPlayed = 0;  // an AR under way, or ended with the last game

    auto Tied() const { return std::tie(flags, held, regStock, arLeft, arLength, arPlayed); }
    bool operator<(const EndKey& o) const { return Tied() < o.Tied(); }
};

// The paths summed one paying game (and the AR it starts) at a time. A state that can still be
// paid out carries its mass for each number m of idle stretches so far, times C(q + m − 1, m − 1)
// (the ways of spreading the quiet games over them; p0^q is put in at the end). A state holding
// more than can still be paid never stands idle again, so its m is settled: such states are
// summed by their class (all that go on alike), each class kept as a few of its machines with
// their share of its mass.
class PathSummer {
  public:
    PathSummer(const Observation& shown, const std::array<SettingOdds, kSettings>& odds,
               std::uint64_t seed)
        : chances_(odds),
          bigs_(static_cast<std::int32_t>(shown.bigs)),
          regs_(static_cast<std::int32_t>(shown.regs)),
          hyperShown_(shown.hyperBigs.has_value()),
          hyper_(static_cast<std::int32_t>(shown.hyperBigs.value_or(0))),
          arGames_(shown.arGames.value_or(0)),
          quiet_(shown.games - arGames_ - shown.bigs - shown.regs),
          last_(bigs_ + regs_),
          random_(seed),
          gathering_{Gathering(150, shown.bigs, shown.regs, chances_),
                     Gathering(1000, shown.bigs, shown.regs, chances_)} {
        for (std::int32_t m = 1; m <= last_ + 1; ++m) {
            growth_.push_back(static_cast<double>(quiet_ + m) / static_cast<double>(m));
        }
    }

    // The states a sum will have visited in all, judged from the `visited` ones of the first
    // `levels`: a level's states grow up to about the middle level and fall after it, taken as a
    // triangle (which gives more than the sums measured: 6.3 and 6.4 times a quarter's, against
    // 8). Not judged before a tenth of the levels, where the levels grow faster than the
    // triangle has them, so that it judges too few then.
    double Projected(std::int64_t visited, std::int32_t levels) const {
        const double f = static_cast<double>(levels) / static_cast<double>(last_);
        if (f < 0.1) return 0;
        const double share = f <= 0.5 ? 2 * f * f : 1 - 2 * (1 - f) * (1 - f);
        return static_cast<double>(visited) / share;
    }

    // Whether the quiet games' ways stay within what a double holds.
    bool Representable() const { return quiet_ >= 0 && LogChoose(quiet_ + last_, last_) < 600; }

    PathSumStatus Run(std::int64_t maxStates, RunControl* control, std::int64_t& visited) {
        Step now, next;
        bool fresh = false;
        now.index.Place(KeyOf(State{}), fresh);
        now.exact.push_back(State{});
        now.stretches = 1;
        now.weights.assign(kSettings, 1);  // one idle stretch: the start
        now.spans.assign(1, {0, 1});
        PerSetting scale{};  // ln of the unit each setting's masses are counted in
        for (std::int32_t level = 0;; ++level) {
            if (control != nullptr && control->StopRequested()) return PathSumStatus::Stopped;
            if (level == last_) {
                for (std::size_t n = 0; n < now.exact.size(); ++n) {
                    if (now.exact[n].arDone == arGames_) End({}, Total(now, n), scale);
                }
                for (const Particle& p : now.particles) {
                    const State& s = p.state;
                    if (s.arDone == arGames_) {
                        End({s.tail, s.tailHeld, s.regStock, 0, 0, 0}, p.weight, scale);
                    }
                }
                return PathSumStatus::Done;
            }
            next.Clear(static_cast<std::size_t>(level) + 2);
            next_ = &next;
            level_ = level + 1;
            scale_ = &scale;
            for (std::size_t n = 0; n < now.exact.size(); ++n) {
                from_ = &now.weights[n * now.stretches * kSettings];
                fromSpan_ = now.spans[n];
                fromTotal_ = Total(now, n);
                Expand(now.exact[n]);
                if (tooLarge_) return PathSumStatus::TooLarge;
            }
            from_ = nullptr;
            for (const Particle& p : now.particles) {
                fromTotal_ = p.weight;
                Expand(p.state);
                if (tooLarge_) return PathSumStatus::TooLarge;
            }
            Thin(next.particles);
            visited += static_cast<std::int64_t>(next.exact.size() + next.particles.size());
            if (visited > maxStates) return PathSumStatus::TooLarge;
            if (Projected(visited, level_) > static_cast<double>(maxStates)) {
                return PathSumStatus::TooLarge;
            }
            Rescale(next, scale);
            std::swap(now, next);
        }
    }

    void Finish(PathSum& out) {
        PerSetting& total = out.logLikelihood;
        total.fill(kMinusInfinity);
        for (auto& [end, logMass] : ends_) {
            for (std::size_t s = 0; s < kSettings; ++s) {
                logMass[s] += LogPower(chances_.none[s], quiet_);  // p0^q
                total[s] = LogAdd(total[s], logMass[s]);
            }
        }
        for (const auto& [end, logMass] : ends_) {
            PerSetting chance{};
            for (std::size_t s = 0; s < kSettings; ++s) {
                chance[s] = total[s] == kMinusInfinity ? 0 : std::exp(logMass[s] - total[s]);
            }
            Spell(end, chance, out.endStates);
        }
    }

  private:
    struct Step {
        KeyIndex index;               // of the exact states
        KeyIndex machines;            // of the particles
        std::vector<State> exact;     // states that can still be paid out
        std::size_t stretches = 0;    // idle stretches a state may have had: 1 to this
        std::vector<double> weights;  // theirs: [state][stretches - 1][setting]
        std::vector<std::pair<std::uint32_t, std::uint32_t>> spans;  // of m - 1 not all 0
        std::vector<Particle> particles;

        void Clear(std::size_t mostStretches) {
            index.Clear();
            machines.Clear();
            exact.clear();
            weights.clear();
            spans.clear();
            particles.clear();
            stretches = mostStretches;
        }
    };

    static PerSetting Total(const Step& step, std::size_t n) {
        PerSetting total{};
        const double* w = &step.weights[n * step.stretches * kSettings];
        for (std::size_t i = step.spans[n].first * kSettings; i < step.spans[n].second * kSettings;
             i += kSettings) {
            for (std::size_t s = 0; s < kSettings; ++s) total[s] += w[i + s];
        }
        return total;
    }

    std::int32_t BigsLeft(const State& s) const { return bigs_ - s.bigs; }
    std::int32_t RegsLeft(const State& s) const { return regs_ - (level_ - s.bigs); }

    // Holds `hyperBigs` more BIGs: into the window while it has room, else behind.
    void Hold(State& s, std::int32_t count, bool hyper) {
        const std::int32_t room = s.tailHeld == 0 ? std::max(0, BigsLeft(s) - s.window) : 0;
        const std::int32_t in = std::min(count, room);
        s.window += in;
        if (hyper && hyperShown_) s.destined += in;
        const std::int32_t behind = count - in;
        if (s.tailHeld + behind > kMostHeldBits) {
            tooLarge_ = true;
            return;
        }
        if (hyper) s.tail |= ((std::uint64_t{1} << behind) - 1) << s.tailHeld;
        s.tailHeld += behind;
    }

    // The paying game after `s`, and the AR it may start.
    void Expand(const State& s) {
        if (s.Idle()) {  // the game's draw is paid at once
            Add(s, chances_.reg, true);
            State big = s;
            ++big.bigs;
            Add(big, chances_.drawn[0], true);
            for (int kind = 1; kind <= 2; ++kind) {
                StartAr(s, big, kind, chances_.drawn[static_cast<std::size_t>(kind)]);
            }
            return;
        }
        // Something is held: the game draws (nothing, a REG or a BIG), then pays a waiting REG
        // or else the oldest BIG.
        for (int draw = 0; draw < 3; ++draw) {
            State d = s;
            if (draw == 1) ++d.regStock;
            if (draw == 2) Hold(d, 1, false);
            const PerSetting& chance = draw == 0   ? chances_.none
                                       : draw == 1 ? chances_.reg
                                                   : chances_.big;
            if (d.regStock > 0) {
                --d.regStock;
                Add(d, chance, d.Idle());
                continue;
            }
            if (d.window == 0) continue;  // a BIG more than the reading's
            --d.window;
            ++d.bigs;
            Add(d, Times(chance, chances_.share[0]), d.Idle());
            for (int kind = 1; kind <= 2; ++kind) {
                StartAr(s, d, kind, Times(chance, chances_.share[static_cast<std::size_t>(kind)]));
            }
        }
    }

    // The BIG paid in the game after `before` brings an AR of the kind's length; `after` is the
    // machine after that game, reached with `chance`.
    void StartAr(const State& before, const State& after, int kind, const PerSetting& chance) {
        const std::int32_t length = kArGamesOfKind[static_cast<std::size_t>(kind)];
        const std::int64_t left = arGames_ - after.arDone;
        if (length > left) {
            // The games end in this AR, or with its first game still to come: the counts are
            // final by now, and nothing held can be paid any more.
            if (level_ != last_ || after.bigs != bigs_ || after.destined != hyper_) return;
            const PerSetting mass = Times(fromTotal_, chance);
            if (left > 0) {
                // Before that game the oldest BIG held was this one (whether hyper matters no
                // more), or nothing was held.
                const std::uint64_t flags = before.window > 0 ? before.tail << 1 : 0;
                End({flags, before.window + before.tailHeld, 0, 0, length,
                     static_cast<std::int32_t>(left)},
                    mass, *scale_);
            } else {
                End({after.tail, after.tailHeld, after.regStock, length, 0, 0}, mass, *scale_);
            }
            return;
        }
        State base = after;
        base.arDone += length;
        if (!CountsAlive(base)) return;  // what the AR gathers is yet to come
        const ArGathering& g = gathering_[static_cast<std::size_t>(kind - 1)];
        const std::int32_t room =
            base.tailHeld == 0 ? std::max(0, BigsLeft(base) - base.window) : 0;
        const std::int32_t regRoom = RegsLeft(base) - base.regStock;
        // Beyond what can still be paid, every count behaves alike: the rarest are counted
        // with the last one kept apart.
        const std::int32_t xEnd = std::min(g.xLast, std::max(room + 1, g.xRare));
        const std::int32_t yEnd = std::min(g.yLast, std::max(regRoom + 1, g.yRare));
        for (std::int32_t x = 0; x <= xEnd; ++x) {
            State sx = base;
            Hold(sx, x, true);
            if (tooLarge_) return;
            // More hyper BIGs in the AR only make it worse.
            if (hyperShown_ && sx.destined > hyper_) break;
            for (std::int32_t y = 0; y <= yEnd; ++y) {
                State sxy = sx;
                sxy.regStock += y;
                if (y > regRoom && BigsLeft(sxy) > 0) break;  // REGs in the way of BIGs
                if (sxy.regStock > kMostRegs) {
                    tooLarge_ = true;
                    return;
                }
                Add(sxy, Times(chance, g.Chance(x, y, xEnd, yEnd)), sxy.Idle());
            }
        }
    }

    // Whether the counts of a state counted at the level being built can still end as the
    // reading says.
    bool CountsAlive(const State& s) const {
        const std::int32_t bigsLeft = BigsLeft(s);
        if (bigsLeft < 0 || RegsLeft(s) < 0) return false;
        const std::int64_t arLeft = arGames_ - s.arDone;
        // Every AR to come needs a BIG paid, and brings at most 1000 games.
        if (arLeft < 0 || arLeft > 1000 * static_cast<std::int64_t>(bigsLeft)) return false;
        return s.destined <= hyper_ && s.bigs + s.window - s.destined <= bigs_ - hyper_;
    }

    // Whether a state counted at the level being built can still end as the reading says:
    // necessary conditions only.
    bool Alive(const State& s) const {
        if (!CountsAlive(s)) return false;
        const std::int32_t bigsLeft = BigsLeft(s);
        // A waiting REG is paid before any BIG.
        if (s.regStock > RegsLeft(s) && bigsLeft > 0) return false;
        // No hyper BIG joins the ones to be paid once no room is left, or no AR is to come.
        if (hyperShown_ && s.destined != hyper_ && (s.window == bigsLeft || s.arDone == arGames_)) {
            return false;
        }
        return true;
    }

    // Whether the state holds more than can still be paid: it never stands idle again.
    bool Overflows(const State& s) const { return s.tailHeld > 0 || s.regStock > RegsLeft(s); }

    // What decides how a state goes on: all of it but what is held beyond what can be paid.
    Key ClassOf(const State& s) const {
        State c = s;
        c.tail = 0;
        c.tailHeld = std::min(s.tailHeld, 1);
        c.regStock = std::min(s.regStock, RegsLeft(s) + 1);
        return KeyOf(c);
    }

    // Adds the state reached from the one being expanded with `chance`; `idle`: it stands idle,
    // one more stretch for quiet games.
    void Add(const State& s, const PerSetting& chance, bool idle) {
        if (!Alive(s)) return;
        bool fresh = false;
        if (Overflows(s)) {
            const std::size_t at = next_->machines.Place(KeyOf(s), fresh);
            if (fresh) next_->particles.push_back({ClassOf(s), s, {}});
            PerSetting& w = next_->particles[at].weight;
            for (std::size_t k = 0; k < kSettings; ++k) w[k] += fromTotal_[k] * chance[k];
            return;
        }
        const std::size_t at = next_->index.Place(KeyOf(s), fresh);
        if (fresh) {
            next_->exact.push_back(s);
            next_->weights.resize(next_->weights.size() + next_->stretches * kSettings, 0);
            next_->spans.emplace_back(next_->stretches, 0);
        }
        // Only exact states can stand idle or be reached from an exact state, so from_ is set.
        const std::uint32_t shift = idle ? 1 : 0;
        auto& span = next_->spans[at];
        span.first = std::min(span.first, fromSpan_.first + shift);
        span.second = std::max(span.second, fromSpan_.second + shift);
        double* to = &next_->weights[(at * next_->stretches + shift) * kSettings];
        for (std::size_t m = fromSpan_.first; m < fromSpan_.second; ++m) {
            const double* from = from_ + m * kSettings;
            double* into = to + m * kSettings;
            const double grow = idle ? growth_[m] : 1;
            for (std::size_t k = 0; k < kSettings; ++k) into[k] += from[k] * chance[k] * grow;
        }
    }

    // Keeps at most kParticles machines of each class, their weights summing to the class's.
    void Thin(std::vector<Particle>& particles) {
        classes_.Clear();
        members_.clear();
        for (std::size_t n = 0; n < particles.size(); ++n) {
            bool fresh = false;
            const std::size_t c = classes_.Place(particles[n].kind, fresh);
            if (fresh) members_.emplace_back();
            members_[c].push_back(n);
        }
        bool crowded = false;
        for (const auto& m : members_) crowded = crowded || m.size() > kParticles;
        if (!crowded) return;
        std::vector<Particle> kept;
        std::vector<Particle> group;
        for (const auto& m : members_) {
            group.clear();
            for (std::size_t n : m) group.push_back(particles[n]);
            if (group.size() > kParticles) Resample(group);
            kept.insert(kept.end(), group.begin(), group.end());
        }
        particles = std::move(kept);
    }

    // Systematic resampling to kParticles, by each machine's share of the class under every
    // setting; the weights are then scaled to the class's own sums.
    void Resample(std::vector<Particle>& group) {
        PerSetting total{};
        for (const Particle& p : group) {
            for (std::size_t s = 0; s < kSettings; ++s) total[s] += p.weight[s];
        }
        std::vector<double> score(group.size(), 0);
        double sum = 0;
        for (std::size_t i = 0; i < group.size(); ++i) {
            for (std::size_t s = 0; s < kSettings; ++s) {
                if (total[s] > 0) score[i] += group[i].weight[s] / total[s];
            }
            sum += score[i];
        }
        const double step = sum / static_cast<double>(kParticles);
        double point = random_.Unit() * step, reached = 0;
        std::vector<Particle> chosen;
        for (std::size_t i = 0; i < group.size(); ++i) {
            reached += score[i];
            std::int32_t copies = 0;
            while (point <= reached &&
                   chosen.size() + static_cast<std::size_t>(copies) < kParticles) {
                point += step;
                ++copies;
            }
            if (copies == 0) continue;
            Particle p = group[i];
            const double factor = static_cast<double>(copies) * step / score[i];
            for (std::size_t s = 0; s < kSettings; ++s) p.weight[s] *= factor;
            chosen.push_back(p);
        }
        PerSetting after{};
        for (const Particle& p : chosen) {
            for (std::size_t s = 0; s < kSettings; ++s) after[s] += p.weight[s];
        }
        for (Particle& p : chosen) {
            for (std::size_t s = 0; s < kSettings; ++s) {
                p.weight[s] = after[s] > 0 ? p.weight[s] * total[s] / after[s] : 0;
            }
        }
        group = std::move(chosen);
    }

    // Counts the step anew in units of each setting's largest mass, so that nothing underflows.
    static void Rescale(Step& step, PerSetting& scale) {
        PerSetting top{};
        for (std::size_t i = 0; i < step.weights.size(); i += kSettings) {
            for (std::size_t s = 0; s < kSettings; ++s)
                top[s] = std::max(top[s], step.weights[i + s]);
        }
        for (const Particle& p : step.particles) {
            for (std::size_t s = 0; s < kSettings; ++s) top[s] = std::max(top[s], p.weight[s]);
        }
        PerSetting unit{};
        for (std::size_t s = 0; s < kSettings; ++s) unit[s] = top[s] > 0 ? 1 / top[s] : 0;
        for (std::size_t i = 0; i < step.weights.size(); i += kSettings) {
            for (std::size_t s = 0; s < kSettings; ++s) step.weights[i + s] *= unit[s];
        }
        for (Particle& p : step.particles) {
            for (std::size_t s = 0; s < kSettings; ++s) p.weight[s] *= unit[s];
        }
        for (std::size_t s = 0; s < kSettings; ++s) {
            if (top[s] > 0) scale[s] += std::log(top[s]);
        }
    }

    void End(const EndKey& end, const PerSetting& mass, const PerSetting& scale) {
        auto [at, fresh] = ends_.try_emplace(end);
        if (fresh) at->second.fill(kMinusInfinity);
        for (std::size_t s = 0; s < kSettings; ++s) {
            if (!(mass[s] > 0)) continue;
            at->second[s] = LogAdd(at->second[s], std::log(mass[s]) + scale[s]);
        }
    }

    // The end states of one end, with the kinds of the BIGs held.
    void Spell(const EndKey& end, const PerSetting& chance, std::vector<EndState>& out) {
        // Before the game that paid the BIG of an AR under way, the oldest BIG held is that one.
        const std::int32_t fixed = end.arLength > 0 && end.held > 0 ? 1 : 0;
        const std::int32_t spelled = std::min(end.held - fixed, kKindsSpelled);
        std::int32_t ways = 1;
        for (std::int32_t k = 0; k < spelled; ++k) ways *= 3;
        for (std::int32_t way = 0; way < ways; ++way) {
            EndState state;
            state.state.arLeft = end.arLeft;
            state.state.regStock = end.regStock;
            state.arLength = end.arLength;
            state.arPlayed = end.arPlayed;
            state.chance = chance;
            std::int32_t digits = way;
            for (std::int32_t i = 0; i < end.held; ++i) {
                std::size_t kind = 0;
                if (i < fixed) {
                    kind = end.arLength == 150 ? 1 : 2;
                } else if (i < fixed + spelled) {
                    kind = static_cast<std::size_t>(digits % 3);
                    digits /= 3;
                    state.chance = Times(state.chance, chances_.share[kind]);
                } else {
                    const std::uint32_t pick = random_.Below(116);
                    kind = pick < kDrawnShare[0]                    ? 0
                           : pick < kDrawnShare[0] + kDrawnShare[1] ? 1
                                                                    : 2;
                    for (std::size_t s = 0; s < kSettings; ++s) {
                        state.chance[s] *= chances_.share[kind][s] * 116 / kDrawnShare[kind];
                    }
                }
                const bool hyper = ((end.flags >> i) & 1) != 0;
                state.state.queue.push_back(
                    static_cast<std::uint8_t>(kind + (hyper ? kHyperBig : kNormalBig)));
            }
            if (state.chance != PerSetting{}) out.push_back(std::move(state));
        }
    }

    GameChances chances_;
    std::int32_t bigs_, regs_;
    bool hyperShown_;
    std::int32_t hyper_;  // 0 without the hyper count
    std::int64_t arGames_;
    std::int64_t quiet_;  // normal games that paid nothing
    std::int32_t last_;   // paying games in all
    RandomDraws random_;
    std::array<ArGathering, 2> gathering_;
    std::vector<double> growth_;  // C(q + m, m) / C(q + m - 1, m - 1), by m - 1
    // The state being expanded: its weights by m (an exact state), their span and their sum.
    const double* from_ = nullptr;
    std::pair<std::uint32_t, std::uint32_t> fromSpan_;
    PerSetting fromTotal_{};
    Step* next_ = nullptr;
    std::int32_t level_ = 0;  // of the states being built
    const PerSetting* scale_ = nullptr;
    bool tooLarge_ = false;
    KeyIndex classes_;  // working space of Thin
    std::vector<std::vector<std::size_t>> members_;
    std::map<EndKey, PerSetting> ends_;  // ln of the mass of each end
};

}  // namespace

PathSumStatus SumOverPaths(const Observation& shown, const std::array<SettingOdds, kSettings>& odds,
                           std::int64_t maxStates, std::uint64_t seed, RunControl* control,
                           PathSum& out) {
    out = {};
    if (!shown.arGames || shown.bigs > kMostPaid || shown.regs > kMostPaid ||
        *shown.arGames / 50 >= kMostArUnits || shown.bigs > kMostHeldBits) {
        return PathSumStatus::TooLarge;
    }
    PathSummer summer(shown, odds, seed);
    if (!summer.Representable()) return PathSumStatus::TooLarge;
    const PathSumStatus status = summer.Run(maxStates, control, out.states);
    if (status == PathSumStatus::Done) summer.Finish(out);
    return status;
}

}  // namespace taviro::stats
