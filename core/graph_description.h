// The texts the slump graph window computes: what a screen reader tells of the curve (the games
// drawn, the last, lowest and highest balance).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/simulation_state.h"

namespace taviro {

// "8000ゲームの差枚数の推移：最終 -1234枚、最低 -2345枚", from the run the graph was drawn from at
// the designed scale; "（表示は最初の10000ゲーム）" follows the games when the grid shows only
// `shownGames` of them.
std::string GraphDescription(const SimulationState& s, std::int64_t shownGames);
// The whole run fitted: "8000ゲームの差枚数の推移（全体）：最終 -1234枚、最低 -2345枚、最高 210枚".
std::string FittedGraphDescription(const SimulationState& s, double highest);

// Before any drawing.
inline constexpr std::string_view kEmptyGraphDescription = "グラフはまだ描かれていません";

}  // namespace taviro
