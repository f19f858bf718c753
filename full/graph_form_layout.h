#pragma once

#include "forms/form_layout.h"

namespace taviro {

// The slump graph window `GRPH`.
const FormLayout& GraphFormLayout();

// Where the curve may draw, in twips of the graph window's client area; the edges are drawn on.
struct PlotTwips {
    int left, top, right, bottom;
};

// The designed scale: game 0 to game 10000 of the grid, from just below the money summary down to
// the foot of the vertical axis (balances from +8440 down to -7000).
inline constexpr PlotTwips kDesignedPlot = {1000, 780, 11000, 8500};
// The whole run fitted, with the balance labels on its left and the game labels under it.
inline constexpr PlotTwips kFittedPlot = {1000, 900, 11000, 8025};

}  // namespace taviro
