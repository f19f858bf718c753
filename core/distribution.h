// The spread of many values: mean, standard deviation, share above 0, percentiles.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace taviro {

struct Distribution {
    double mean = 0;
    double sd = 0;          // sample standard deviation (n − 1)
    double aheadShare = 0;  // share of values above 0
    double p5 = 0, p25 = 0, p50 = 0, p75 = 0, p95 = 0;
    double min = 0, max = 0;
};

double Mean(const std::vector<double>& values);

// The sample standard deviation (n − 1); 0 for fewer than two values.
double SampleSd(const std::vector<double>& values, double mean);

// The p-th percentile (0 to 100) of sorted values, interpolating linearly between neighbours.
double Percentile(const std::vector<double>& sorted, double p);

// The same of values sorted with +infinity for "never"; nothing when it involves a "never".
std::optional<double> FinitePercentile(const std::vector<double>& sorted, double p);

// values must not be empty; when one of them is not a finite number, every figure is NaN.
Distribution Describe(std::vector<double> values);

// The 5, 25, 50, 75 and 95 percentiles of values after `games` games (the net coins of many
// sessions or continuations at one point).
struct Band {
    std::int64_t games = 0;
    double p5 = 0, p25 = 0, p50 = 0, p75 = 0, p95 = 0;
};

// Checkpoints through `games` games, evenly spread: at most `most`, the last at `games`.
inline constexpr std::int64_t kBands = 128;
std::vector<std::int64_t> Checkpoints(std::int64_t games, std::int64_t most = kBands);

}  // namespace taviro
