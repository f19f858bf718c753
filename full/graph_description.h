// What a screen reader tells of the slump graph: the games drawn, the last and the lowest balance.
#pragma once

#include <string>
#include <string_view>

#include "core/simulation_state.h"

namespace taviro {

// "8000ゲームの差枚数の推移：最終 -1234枚、最低 -2345枚", from the run the graph was drawn from.
std::string GraphDescription(const SimulationState& s);

// Before any drawing.
inline constexpr std::string_view kEmptyGraphDescription = "グラフはまだ描かれていません";

}  // namespace taviro
