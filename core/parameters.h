// Machine parameters: the eight parameter texts of the main window, the setting presets and
// the conversion of the texts into the lottery table of one run.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/simulation_state.h"

namespace taviro {

// The texts that a machine setting writes into the two probability fields.
struct PresetTexts {
    std::string_view big;
    std::string_view reg;
};

// Settings 1 to 6.
inline constexpr std::array<PresetTexts, 6> kSettingPresets = {{
    {"485.452", "829.570"},
    {"445.823", "799.220"},
    {"412.176", "771.012"},
    {"381.023", "762.047"},
    {"352.344", "744.727"},
    {"286.183", "720.176"},
}};

// The texts the eight parameter fields start with: setting 1 and the machine's coins.
struct ParameterDefaults {
    std::string_view TexBIG = kSettingPresets[0].big;
    std::string_view TexREG = kSettingPresets[0].reg;
    std::string_view TexGAME = "8000";
    std::string_view TexN_BASE = "-1.5603781019";
    std::string_view TexAR_BASE = "1.5842163960";
    std::string_view TexNBIG = "401.650";
    std::string_view TexHBIG = "548.011";
    std::string_view TexREGOUT = "127.000";
};
inline constexpr ParameterDefaults kParameterDefaults{};

// The texts of the eight parameter fields, named after the fields.
struct ParameterTexts {
    std::string TexBIG{kParameterDefaults.TexBIG};
    std::string TexREG{kParameterDefaults.TexREG};
    std::string TexGAME{kParameterDefaults.TexGAME};
    std::string TexN_BASE{kParameterDefaults.TexN_BASE};
    std::string TexAR_BASE{kParameterDefaults.TexAR_BASE};
    std::string TexNBIG{kParameterDefaults.TexNBIG};
    std::string TexHBIG{kParameterDefaults.TexHBIG};
    std::string TexREGOUT{kParameterDefaults.TexREGOUT};

    bool operator==(const ParameterTexts&) const = default;
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

// Bytes of history a run of `gameCount` games needs whose lottery numbers up to `bonusThreshold`
// (`ThrREG`) draw a bonus: what every game needs (GameHistory), and the games with an event,
// counted generously, for they depend on the draws.
std::uint64_t HistoryBytes(std::int32_t gameCount, std::int32_t bonusThreshold);

// Reads the parameter texts into the state and, when the state keeps history, allocates it anew.
// On any status but Loaded the state is left exactly as it was.
LoadStatus LoadParameters(SimulationState& state, const ParameterTexts& texts,
                          std::uint64_t historyLimit = DefaultHistoryLimit());

// A new state with the parameters of `texts` loaded, with or without history; nothing when
// LoadParameters refuses them.
std::optional<SimulationState> PreparedState(const ParameterTexts& texts, bool history,
                                             std::uint64_t historyLimit = DefaultHistoryLimit());

}  // namespace taviro
