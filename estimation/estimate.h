// Which setting is this machine at, and what are the next games worth: the answer to the
// question a player brings with the counts read off the machine. One plain input and one answer
// that holds every figure, the same for a given seed whatever the number of threads; the command
// line and the windows show this answer and nothing else.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/parameters.h"
#include "core/run_control.h"
#include "estimation/continuation.h"
#include "estimation/likelihood.h"

namespace taviro::stats {

struct EstimateInput {
    std::int64_t games = 0;                 // all games played, normal and AR
    std::int64_t bigs = 0;                  // BIGs paid
    std::int64_t regs = 0;                  // REGs paid
    std::optional<std::int64_t> hyperBigs;  // of the BIGs, how many were hyper
    std::optional<std::int64_t> arGames;    // games played in AR
    PerSetting prior = {1, 1, 1, 1, 1, 1};  // weights of settings 1 to 6
    std::int64_t remaining = 0;             // games to project; 0: no projection
    bool untilKnown = true;                 // work out "games until you know"
    ParameterTexts machine;  // the coin texts; each setting brings its probability texts
    double rate = 5;         // coins per 100 yen
    std::uint64_t seed = 0;

    // The same input asks for the same figures (the threads that work them out change nothing).
    bool operator==(const EstimateInput&) const = default;
};

inline constexpr std::int64_t kMaxRemaining = 1'000'000;
// The largest Monte Carlo standard error of a posterior probability that is not called rough.
inline constexpr double kPosteriorSeLimit = 0.01;
// Continuations played for the projection, and of those, the ones followed until the setting
// is known.
inline constexpr std::int64_t kContinuations = std::int64_t{1} << 14;
inline constexpr std::int64_t kKnowContinuations = std::int64_t{1} << 12;

// The figures of the input a refusal is about, so that a window shows the reason beside them.
enum class InputPart { Games, Bigs, Regs, HyperBigs, ArGames, Prior, Remaining, Rate };
inline constexpr int kInputParts = static_cast<int>(InputPart::Rate) + 1;

struct InputRefusal {
    std::vector<InputPart> parts;  // the first is the one to show it beside, all else being equal
    std::string reason;            // one line
};

// Why the input cannot be estimated, and what it is about; nothing when it can.
std::optional<InputRefusal> RefuseEstimateInput(const EstimateInput& input);

// The reason alone.
std::optional<std::string> CheckEstimateInput(const EstimateInput& input);

// An observed frequency as "1 in x": x and its interval (x of the interval's ends; the high end
// is +infinity with no bonus at all, as is x itself).
struct Frequency {
    double x = 0;
    double low = 0, high = 0;
};

struct EstimateAnswer {
    PerSetting prior{};  // normalised
    PerSetting posterior{};
    PerSetting posteriorSe{};     // Monte Carlo standard error
    bool roughPosterior = false;  // its error could not be brought under kPosteriorSeLimit
    PerSetting logLikelihood{};
    PerSetting bayesFactor{};  // against setting 1
    double atLeast4 = 0;       // P(setting 4 or higher)
    double fiveOrSix = 0;      // P(setting 5 or 6)
    double expectedSetting = 0;
    Frequency big, reg;            // observed, with 95% Clopper-Pearson intervals
    PerSetting payoutBySetting{};  // long-run PAYOUT percent
    double payout = 0;             // its expectation under the posterior
    std::optional<Projection> projection;
    std::optional<UntilKnown> untilKnown;
    std::int64_t orders = 0;   // random orders played for the likelihood
    std::int64_t matches = 0;  // of those, the ones that showed the counts
    bool exact = false;        // the likelihood summed over the machine's paths, not played
};

struct EstimateOutcome {
    std::optional<EstimateAnswer> answer;
    std::string error;     // one line, when the input is refused or cannot be reproduced
    bool stopped = false;  // ended through the RunControl
};

// Works out the answer on up to `threads` threads; the same for any number of them.
EstimateOutcome Estimate(const EstimateInput& input, unsigned threads = 1,
                         RunControl* control = nullptr);

}  // namespace taviro::stats
