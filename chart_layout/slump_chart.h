// The slump graph as marks, for a picture that scales (the web page's SVG): the curve on the
// graph window's designed grid, in the window's twips, or fitted to the whole run on a plot area
// with round grid lines, both from the geometry the window draws with.
#pragma once

#include <string>

#include "chart_layout/drawing.h"
#include "core/simulation_state.h"

namespace taviro::stats {

// The part of the graph window the pictures show, in twips: the grid and its labels.
inline constexpr double kSlumpWidthTwips = 11400;
inline constexpr double kSlumpHeightTwips = 8700;

// The run's curve at the designed scale (the state's GraphX0, GraphY0 and GraphYDiv): the
// segments of the games the window can show, joined into lines, on the window's grid of 2000
// games and 2000 coins. `description` receives what a screen reader is told.
Drawing DrawDesignedSlump(const SimulationState& s, std::string& description);

// The whole run fitted to the plot area, as the window draws it on a screen of `ratio` device
// pixels to a pixel: a stroke per device pixel column, the grid at the window's pixels. Only the
// frame for a run without games.
Drawing DrawFittedSlump(const SimulationState& s, int ratio, std::string& description);

}  // namespace taviro::stats
