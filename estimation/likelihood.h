// How likely the counter a player read is under each machine setting, and where the machine
// stands at that moment.
//
// Every game draws once whatever the mode, so the BIGs and REGs drawn in G games are multinomial
// under each setting, and given how many were drawn every order of the draws is equally likely,
// whatever the setting. What the counter shows is a function of that order, so
//
//   P(shown | s) = sum over j, i >= 0 of  M_s(B + j, R + i) · K(j, i),
//
// M_s the multinomial chance of drawing B + j BIGs and R + i REGs, and K(j, i) the chance that a
// uniformly random order of those draws shows what the player saw (B, R, and H and A when given),
// j BIGs and i REGs being still held. K does not depend on the setting; it is estimated by
// playing random orders, stratified over (j, i). When the AR count says an AR was under way at
// the end, the games are split at the payment that started it: nothing drawn after it changes
// the counter. docs/estimation.md gives the details.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/run_control.h"
#include "estimation/bonus_machine.h"
#include "estimation/setting_odds.h"

namespace taviro::stats {

inline constexpr int kSettings = 6;
using PerSetting = std::array<double, kSettings>;

// What the counter showed after `games` games.
struct Observation {
    std::int64_t games = 0;
    std::int64_t bigs = 0;  // BIGs paid, normal and hyper
    std::int64_t regs = 0;  // REGs paid
    std::optional<std::int64_t> hyperBigs;
    std::optional<std::int64_t> arGames;
};

// Where the machine may stand after the games played, with P(it | shown, setting). With
// arLength 0, `state` is the state after the last game. Otherwise the AR count says the last game
// was a game of an AR of `arLength` games, `arPlayed` of them played (all when it ended with the
// last game): `state` is then the state before the game that paid the BIG which started it. That
// game's draw was the BIG itself when the machine held nothing, and anything but a REG when it
// paid the oldest BIG held.
struct EndState {
    MachineState state;
    std::int32_t arLength = 0;
    std::int32_t arPlayed = 0;
    PerSetting chance{};
};

struct LikelihoodEstimate {
    PerSetting logLikelihood{};    // ln P(shown | setting); -inf when no order showed it
    PerSetting logLikelihoodSe{};  // its Monte Carlo standard error
    PerSetting posterior{};
    PerSetting posteriorSe{};  // Monte Carlo standard error of each posterior probability
    std::vector<EndState> endStates;
    std::int64_t orders = 0;   // random orders played
    std::int64_t matches = 0;  // those that showed what the player saw
    bool exact = false;        // summed over the machine's paths: no Monte Carlo error
};

// Random orders worth playing for this observation: fewer the more draws each order has.
std::int64_t OrderBudget(const Observation& shown);

// A reading with the AR count is summed over the machine's paths (estimation/machine_paths.h)
// when that takes at most this many machine states (about 0.3 s to 1 s a million); a longer
// one, and every reading without the AR count, is estimated from orders.
inline constexpr std::int64_t kMostPathStates = std::int64_t{1} << 20;

// Nothing when stopped through `control`. `mostPathStates` 0: from orders only.
std::optional<LikelihoodEstimate> EstimateLikelihood(const Observation& shown,
                                                     const std::array<SettingOdds, kSettings>& odds,
                                                     const PerSetting& prior, std::int64_t orders,
                                                     std::uint64_t seed, unsigned threads,
                                                     RunControl* control,
                                                     std::int64_t mostPathStates = kMostPathStates);

// ln M_s: the multinomial chance of drawing `bigs` BIGs and `regs` REGs in `games` games.
double LogMultinomial(const SettingOdds& odds, std::int64_t games, std::int64_t bigs,
                      std::int64_t regs);

}  // namespace taviro::stats
