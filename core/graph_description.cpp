#include "core/graph_description.h"

#include <algorithm>

#include "core/numbers.h"

namespace taviro {

namespace {

std::int32_t Games(const SimulationState& s) {
    return std::max(s.GameCount, 0);
}

// "：最終 -1234枚、最低 -2345枚"
std::string LastAndLowest(const SimulationState& s) {
    const std::int64_t game = Games(s);
    const double last =
        game < static_cast<std::int64_t>(s.History.Size()) ? s.History.Balance(game) : 0.0;
    return "：最終 " + FormatNumber(RoundHalfEven(last, 0)) + "枚、最低 " +
           FormatNumber(RoundHalfEven(s.MinBalance, 0)) + "枚";
}

}  // namespace

std::string GraphDescription(const SimulationState& s, std::int64_t shownGames) {
    std::string text = FormatNumber(Games(s)) + "ゲームの差枚数の推移";
    if (shownGames < Games(s)) {
        text += "（表示は最初の" + FormatNumber(static_cast<double>(shownGames)) + "ゲーム）";
    }
    return text + LastAndLowest(s);
}

std::string FittedGraphDescription(const SimulationState& s, double highest) {
    return FormatNumber(Games(s)) + "ゲームの差枚数の推移（全体）" + LastAndLowest(s) + "、最高 " +
           FormatNumber(RoundHalfEven(highest, 0)) + "枚";
}

}  // namespace taviro
