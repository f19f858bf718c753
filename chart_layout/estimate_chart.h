// The picture of `taviro-stats estimate`: the six settings' posterior as bars beside their
// prior, and, when games are projected, the fan of the net coins over the next games.
#pragma once

#include "chart_layout/drawing.h"
#include "estimation/estimate.h"

namespace taviro::stats {

// The picture laid out on `width` x `height` pixels.
Drawing DrawEstimate(const EstimateInput& input, const EstimateAnswer& answer, double width,
                     double height);

}  // namespace taviro::stats
