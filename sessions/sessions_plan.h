// What a run of many sessions plays: which settings, the machine's texts, the games of each
// session and how many sessions, the exchange rate, the seed and the threads, and how closely
// each session's balance is followed for a picture's curves.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/parameters.h"

namespace taviro::stats {

struct SessionsPlan {
    std::vector<int> settings = {1, 2, 3, 4, 5, 6};
    std::optional<std::string> big;  // overrides the preset's probability texts
    std::optional<std::string> reg;
    ParameterTexts parameters;  // games and coin texts; the probabilities come per setting
    std::int32_t games = 8000;
    std::int64_t sessions = 10000;
    double rate = 5;  // coins per 100 yen
    std::uint64_t seed = 0;
    unsigned threads = 1;
    // Points of each session at which its balance is kept for the curves (0: none kept).
    std::int64_t curvePoints = 0;
};

// The parameter texts of one setting under this plan.
ParameterTexts TextsForSetting(const SessionsPlan& plan, int setting);

}  // namespace taviro::stats
