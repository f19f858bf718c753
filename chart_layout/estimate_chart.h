// The picture of `taviro-stats estimate`: the six settings' posterior as bars beside their
// prior, and, when games are projected, the fan of the net coins over the next games.
#pragma once

#include "chart_layout/drawing.h"
#include "estimation/estimate.h"

namespace taviro::stats {

// The picture laid out on `width` x `height` pixels.
Drawing DrawEstimate(const EstimateInput& input, const EstimateAnswer& answer, double width,
                     double height);

// Its two charts apart, as a narrow screen shows them one above the other: each on `width` x
// `height` pixels, with every size `unit` times the picture's at 1600 x 1000.
Drawing DrawPosterior(const EstimateAnswer& answer, double width, double height, double unit);
Drawing DrawProjection(const EstimateInput& input, const Projection& projection, double width,
                       double height, double unit);

}  // namespace taviro::stats
