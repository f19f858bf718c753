// The likelihood of a reading with the AR count, summed exactly over the machine's paths.
//
// A normal game pays nothing only when nothing is held and it draws nothing (a game that holds
// something pays it, one that draws a bonus with nothing held pays that at once), so every other
// normal game pays exactly one bonus. A reading of B BIGs, R REGs and A AR games in G games has
// therefore exactly B + R such paying games and q = G − A − B − R quiet ones. A path is the
// sequence of its paying games and the ARs they start, with the q quiet games spread over the
// stretches where the machine stood idle: with m such stretches in the sequence there are
// C(q + m − 1, m − 1) ways, each worth p0^q (p0: the chance of drawing nothing). The sequences
// are summed one paying game (and the AR it starts) at a time over the machine states they
// reach: the counts paid, the AR games played, the REGs waiting, the BIGs held (hyper or not) and
// m. Which AR a held BIG brings is settled when it is paid, as it does not depend on anything
// before. What an AR gathers beyond what can still be paid behaves alike whatever its number, so
// the rarest such numbers are counted together; the sum is exact otherwise.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/run_control.h"
#include "estimation/likelihood.h"

namespace taviro::stats {

struct PathSum {
    PerSetting logLikelihood{};  // ln P(shown | setting); -inf when no path shows it
    // Where the machine stands, as EndState describes it; chance: P(state | shown, setting).
    std::vector<EndState> endStates;
    std::int64_t states = 0;  // machine states summed over
};

enum class PathSumStatus { Done, TooLarge, Stopped };

// Sums the paths of a reading that gives the AR count. TooLarge when more than `maxStates`
// machine states would be needed (judged once a quarter of the paying games is summed, and then
// at the limit itself) or the counts are beyond what a state can hold: nothing is computed then.
// `seed` draws the kinds of the later BIGs of long queues held at the end.
PathSumStatus SumOverPaths(const Observation& shown, const std::array<SettingOdds, kSettings>& odds,
                           std::int64_t maxStates, std::uint64_t seed, RunControl* control,
                           PathSum& out);

}  // namespace taviro::stats
