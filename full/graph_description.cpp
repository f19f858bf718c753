#include "full/graph_description.h"

#include <algorithm>

#include "core/numbers.h"

namespace taviro {

std::string GraphDescription(const SimulationState& s) {
    const std::int32_t games = std::max(s.GameCount, 0);
    const auto game = static_cast<std::size_t>(games);
    const double last = game < s.Balance.size() ? s.Balance[game] : 0.0;
    return FormatNumber(games) + "ゲームの差枚数の推移：最終 " +
           FormatNumber(RoundHalfEven(last, 0)) + "枚、最低 " +
           FormatNumber(RoundHalfEven(s.MinBalance, 0)) + "枚";
}

}  // namespace taviro
