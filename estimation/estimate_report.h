// The answer of `taviro-stats estimate` as a text page (within 80 columns), CSV (one figure a
// line) or JSON, all three from one list of figures.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/output_format.h"
#include "estimation/estimate.h"

namespace taviro::stats {

// A figure by its key; per-setting figures come as six keys key_1 to key_6 (an array in JSON).
struct EstimateFigure {
    std::string key;
    std::optional<double> value;  // nothing: not given, or not a finite number
    int setting = 0;              // 1 to 6 for a per-setting figure, else 0
};

std::vector<EstimateFigure> EstimateFigures(const EstimateInput& input, const EstimateAnswer& a);

std::string FormatEstimate(const EstimateInput& input, const EstimateAnswer& answer,
                           OutputFormat format);

}  // namespace taviro::stats
