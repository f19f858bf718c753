// The segments of the slump graph: one per game, from the point of game i back to game i − 1,
// in twips of the graph window's client area.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/simulation_state.h"

namespace taviro {

// Where the graph window's curve may draw, in twips of its client area; the edges are drawn on.
struct PlotTwips {
    int left, top, right, bottom;
};

// The designed scale: game 0 to game 10000 of the grid, from just below the money summary down to
// the foot of the vertical axis (balances from +8440 down to -7000).
inline constexpr PlotTwips kDesignedPlot = {1000, 780, 11000, 8500};
// The whole run fitted, with the balance labels on its left and the game labels under it.
inline constexpr PlotTwips kFittedPlot = {1000, 900, 11000, 8025};

// The designed scale's origin and coins per twip, which ComG_Click sets before drawing.
inline void UseDesignedScale(SimulationState& s) {
    s.GraphYDiv = 2;
    s.GraphY0 = 5000;
    s.GraphX0 = 1000;
}

struct CurvePoint {
    float x;
    float y;
};

// The point of game k with balance `balance`: one twip per game to the right of GraphX0, 2 coins
// per twip above GraphY0.
inline CurvePoint PointOfGame(const SimulationState& s, std::int64_t k, double balance) {
    const auto x = static_cast<float>(s.GraphX0 + k);
    const auto y = static_cast<float>(s.GraphY0 - balance / s.GraphYDiv);
    return {x, y};
}

// Calls draw(from, to) for each segment of games 1 to GameCount that can reach the client area
// `clientWidth` twips wide: games further right are never visible. A segment with a point that
// is not a finite number is skipped.
template <class Draw>
void ForEachVisibleSegment(const SimulationState& s, int clientWidth, Draw&& draw) {
    const std::int64_t lastVisible = std::int64_t{clientWidth} - s.GraphX0 + 1;
    const std::int64_t last = std::min<std::int64_t>(
        {s.GameCount, lastVisible, static_cast<std::int64_t>(s.History.Size()) - 1});
    if (last < 1) return;
    HistoryReader game(s.History, 0);
    CurvePoint to = PointOfGame(s, 0, game.Balance());
    for (std::int64_t i = 1; i <= last; ++i) {
        game.Next();
        const CurvePoint from = PointOfGame(s, i, game.Balance());
        if (std::isfinite(from.y) && std::isfinite(to.y)) draw(from, to);
        to = from;
    }
}
}  // namespace taviro
