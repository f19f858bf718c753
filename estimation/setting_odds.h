// The chance of each lottery outcome under a machine setting, counted exactly as the game loop
// draws it, the coins each outcome brings, and the long-run PAYOUT that follows from both.
#pragma once

#include <array>
#include <cstdint>

#include "core/simulation_state.h"

namespace taviro::stats {

// The generator yields this many equally likely values per game.
inline constexpr std::int64_t kGeneratorValues = std::int64_t{1} << 24;

// What a game's draw brought, when it brought a bonus.
enum class Drawn : std::uint8_t { PlainBig = 0, Big150 = 1, Big1000 = 2, Reg = 3 };

struct SettingOdds {
    // How many of the generator's values draw each outcome, indexed by Drawn.
    std::array<std::int64_t, 4> values{};

    double Chance(Drawn d) const {
        return static_cast<double>(values[static_cast<int>(d)]) /
               static_cast<double>(kGeneratorValues);
    }
    double BigChance() const {
        return static_cast<double>(values[0] + values[1] + values[2]) /
               static_cast<double>(kGeneratorValues);
    }
    double RegChance() const { return Chance(Drawn::Reg); }
};

// The odds of a state whose lottery thresholds LoadParameters has built.
SettingOdds OddsOf(const SimulationState& prepared);

// Expected coins: per normal and per AR game, and per bonus paid.
struct Coins {
    double normalBase = 0;
    double arBase = 0;
    double normalBig = 0;
    double hyperBig = 0;
    double reg = 0;
};

Coins CoinsOf(const SimulationState& prepared);

// The share of games played in AR in the long run: every BIG drawn is paid in the end, and each
// one paid with an AR150 or AR1000 brings 150 or 1000 AR games. 1 or more: AR never ends.
double LongRunArShare(const SettingOdds& odds);

// The PAYOUT percentage in the long run; NaN when AR would never end.
double LongRunPayout(const SettingOdds& odds, const Coins& coins);

}  // namespace taviro::stats
