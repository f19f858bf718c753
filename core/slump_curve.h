// The segments of the slump graph: one per game, from the point of game i back to game i − 1,
// in twips of the graph window's client area.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "core/simulation_state.h"

namespace taviro {

struct CurvePoint {
    float x;
    float y;
};

// The point of game k: one twip per game to the right of GraphX0, 2 coins per twip above GraphY0.
inline CurvePoint PointOfGame(const SimulationState& s, std::int32_t k) {
    const auto x = static_cast<float>(std::int64_t{s.GraphX0} + k);
    const auto y =
        static_cast<float>(s.GraphY0 - s.Balance[static_cast<std::size_t>(k)] / s.GraphYDiv);
    return {x, y};
}

// Calls draw(from, to) for each segment of games 1 to GameCount that can reach the client area
// `clientWidth` twips wide: games further right are never visible. A segment with a point that
// is not a finite number is skipped.
template <class Draw>
void ForEachVisibleSegment(const SimulationState& s, int clientWidth, Draw&& draw) {
    const std::int64_t lastVisible = std::int64_t{clientWidth} - s.GraphX0 + 1;
    const std::int64_t last = std::min<std::int64_t>(s.GameCount, lastVisible);
    for (std::int64_t i = 1; i <= last; ++i) {
        const CurvePoint from = PointOfGame(s, static_cast<std::int32_t>(i));
        const CurvePoint to = PointOfGame(s, static_cast<std::int32_t>(i - 1));
        if (!std::isfinite(from.y) || !std::isfinite(to.y)) continue;
        draw(from, to);
    }
}

}  // namespace taviro
