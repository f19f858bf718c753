// The texts that the results display writes into the main window after a run.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "simulation_state.h"

namespace taviro {

struct ResultText {
    std::string_view control;  // the name of the field or label written
    std::string text;
};

inline constexpr std::size_t kResultCount = 21;
// The money summary of the full edition is written after this many results (after `TexST_REG`).
inline constexpr std::size_t kResultsBeforeMoneySummary = 18;

// The 21 result texts in the order in which they are written.
std::array<ResultText, kResultCount> ResultTexts(const SimulationState& s);

}  // namespace taviro
