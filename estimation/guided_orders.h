// Random orders of a stratum's draws, played in the machine's own time when the counter holds the
// hyper BIG or AR count. Spreading the draws over the games at random and keeping the orders
// that happen to show the counter fails where the counter ties a payment to one game (an AR that
// ends at or near the last game, a long chain of hyper BIGs): almost no order meets it. Here the
// machine is followed a normal game or a whole AR at a step, and every random choice (where the
// next draw falls, what a game draws, what an AR gathers, which AR a paid BIG brings) is drawn
// with the chance a uniformly random order gives it, but only among the choices that can still
// show the counter. The chance of the choices kept multiplies into the order's weight, so the
// weighted orders estimate K without bias; an order that reaches a dead end counts 0.
//
// The counter fixes the normal games (all games but the AR games), and with them the quiet ones
// (normal games that paid nothing); ARs are played whole, so the AR count is reached by the
// lengths of the ARs the paid BIGs bring, whatever games they fall on. Which AR a held BIG brings
// is drawn when it is paid (or at the end, for those still held): its kind does not depend on
// anything before.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "estimation/order_tally.h"
#include "estimation/random_draws.h"

namespace taviro::stats {

class LogFactorials;

// What the orders of one part must show, and how its games must end.
struct GuidedGoal {
    Observation shown;
    EndRule rule = EndRule::Any;
    // A split part: the game after these pays a BIG (hyper or not, when known) that starts an AR
    // of arPlayed games or more. 0: the orders cover all the games.
    std::int32_t arPlayed = 0;
    std::optional<bool> hyperPaid;
};

class GuidedOrders {
  public:
    GuidedOrders(const GuidedGoal& goal, const std::array<SettingOdds, kSettings>& odds,
                 const PerSetting& prior);

    // Whether orders of `bigs` BIG and `regs` REG draws can show the counter at all, by the
    // checks made at every step.
    bool Possible(std::int64_t bigs, std::int64_t regs) const;

    // Plays `orders` orders of `bigs` BIG and `regs` REG draws over the goal's games and adds
    // those that show the counter to `tally`.
    void Play(std::int64_t bigs, std::int64_t regs, std::int64_t orders, std::uint64_t seed,
              OrderTally& tally) const;

    // The counts and the machine's state as far as the choices need them.
    struct Counts {
        std::int64_t game = 0;                    // games played
        std::int64_t bigsLeft = 0, regsLeft = 0;  // draws still to come
        std::int64_t regStock = 0;                // REGs waiting
        std::int64_t held = 0, hyperHeld = 0;     // BIGs waiting, and the hyper ones among them
        bool headHyper = false;                   // whether the oldest BIG waiting is hyper
        std::int64_t bigs = 0, hyper = 0, regs = 0, ar = 0;  // paid, and AR games played
        std::int64_t normal = 0, quiet = 0;  // normal games, and those that paid nothing
    };

  private:
    struct Walk;
    struct ArBounds;

    double Walked(Walk& walk, RandomDraws& random) const;
    bool Gap(Walk& walk, RandomDraws& random) const;
    bool Payment(Walk& walk, RandomDraws& random) const;
    bool PayBig(Walk& walk, const Counts& after, int kind, RandomDraws& random) const;
    bool Ar(Walk& walk, std::int64_t games, RandomDraws& random) const;
    bool Finish(Walk& walk, RandomDraws& random, OrderTally& tally) const;

    ArBounds Bounds(const Counts& c, std::int64_t games) const;
    bool Viable(const Counts& c, std::int64_t arNext) const;
    double LogChoose(std::int64_t n, std::int64_t k) const;
    double LogNoneWithin(std::int64_t games, std::int64_t draws, std::int64_t first) const;
    std::int64_t FirstWithin(std::int64_t games, std::int64_t draws, std::int64_t last,
                             RandomDraws& random) const;
    bool Ended(const Counts& c) const;
    double KindsOk(const Counts& after, bool lastNormal, std::array<bool, 3>& ok) const;
    bool LastNormal(const Counts& c) const;
    std::int64_t ArGames(const Counts& after, bool lastNormal, int kind) const;

    GuidedGoal goal_;
    std::int64_t normalGames_ = 0, quietGames_ = 0;  // with the AR count
    std::array<SettingOdds, kSettings> odds_;
    PerSetting prior_;
    KindRatios ratios_;
    std::shared_ptr<const LogFactorials> logFactorial_;
};

}  // namespace taviro::stats
