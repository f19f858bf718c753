// Machine parameters: the eight parameter texts of the main window, the setting presets and
// the conversion of the texts into the lottery table of one run.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "simulation_state.h"

namespace taviro {

// The texts of the eight parameter fields, named after the fields.
struct ParameterTexts {
    std::string TexBIG = "485.452";
    std::string TexREG = "829.570";
    std::string TexGAME = "8000";
    std::string TexN_BASE = "-1.5603781019";
    std::string TexAR_BASE = "1.5842163960";
    std::string TexNBIG = "401.650";
    std::string TexHBIG = "548.011";
    std::string TexREGOUT = "127.000";
};

// The texts that a machine setting writes into the two probability fields.
struct PresetTexts {
    std::string_view big;
    std::string_view reg;
};

// The preset of the setting that `selectorText` reads as (1 to 6 exactly); nothing otherwise.
std::optional<PresetTexts> SettingPreset(std::string_view selectorText);

// A probability text (a denominator of 1 or more, or a probability below 1) as a weight in
// units of 1/65536.
std::int32_t ProbabilityWeight(double probability);

enum class LoadStatus {
    Loaded,
    NumberTooLarge,     // a parameter text reads beyond the double range
    GameCountTooLarge,  // the game count does not fit in 32 bits
    OutOfMemory,        // the per-game history cannot be allocated
};

// Bytes of per-game history that a run may allocate at most: half of the physical memory.
std::uint64_t DefaultHistoryLimit();

// Bytes of history a run of `gameCount` games needs (one balance and one event byte per game,
// game 0 included).
std::uint64_t HistoryBytes(std::int32_t gameCount);

// Reads the parameter texts into the state and, when the state keeps history, allocates it anew.
// On any status but Loaded the state is left exactly as it was.
LoadStatus LoadParameters(SimulationState& state, const ParameterTexts& texts,
                          std::uint64_t historyLimit = DefaultHistoryLimit());

}  // namespace taviro
