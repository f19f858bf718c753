// The texts that the results display writes into the main window after a run.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/simulation_state.h"

namespace taviro {

inline constexpr std::size_t kResultCount = 21;

// The fields and labels the results display writes, in the order in which it writes them.
inline constexpr std::array<std::string_view, kResultCount> kResultControls = {
    "TexD_BIG",    "TexD_HBIG",   "TexD_NBIG",     "TexD_REG",       "TexD_AR",     "LabP_BIG",
    "LabP_HBIG",   "LabP_NBIG",   "LabP_REG",      "TexD_AR150",     "TexD_AR1000", "LabD_AR150",
    "LabD_AR1000", "TexD_BIG_LS", "TexD_AR150_LS", "TexD_AR1000_LS", "TexG_AR",     "TexST_REG",
    "LabP_AR",     "TexOUT",      "TexPAY"};

// The position of a control in kResultControls (kResultCount when it is not there).
constexpr std::size_t ResultIndex(std::string_view control) {
    for (std::size_t i = 0; i < kResultCount; ++i) {
        if (kResultControls[i] == control) return i;
    }
    return kResultCount;
}

// The money summary of the full edition is written after this many results (after `TexST_REG`).
inline constexpr std::size_t kResultsBeforeMoneySummary = ResultIndex("TexST_REG") + 1;

using ResultTextList = std::array<std::string, kResultCount>;

// The texts of the last run, one for each of kResultControls.
ResultTextList ResultTexts(const SimulationState& s);

}  // namespace taviro
