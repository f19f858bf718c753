#include "core/distribution.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace taviro {

double Mean(const std::vector<double>& values) {
    long double sum = 0;
    for (double v : values) sum += v;
    return static_cast<double>(sum / static_cast<long double>(values.size()));
}

double SampleSd(const std::vector<double>& values, double mean) {
    if (values.size() < 2) return 0;
    long double squares = 0;
    for (double v : values) squares += static_cast<long double>(v - mean) * (v - mean);
    return std::sqrt(static_cast<double>(squares / static_cast<long double>(values.size() - 1)));
}

double Percentile(const std::vector<double>& sorted, double p) {
    const double position = p / 100 * static_cast<double>(sorted.size() - 1);
    const auto below = static_cast<std::size_t>(std::floor(position));
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    const double fraction = position - static_cast<double>(below);
    return sorted[below] + (sorted[above] - sorted[below]) * fraction;
}

std::optional<double> FinitePercentile(const std::vector<double>& sorted, double p) {
    const double position = p / 100 * static_cast<double>(sorted.size() - 1);
    const auto below = static_cast<std::size_t>(std::floor(position));
    const double fraction = position - static_cast<double>(below);
    if (!std::isfinite(sorted[below])) return std::nullopt;
    if (fraction == 0) return sorted[below];
    if (!std::isfinite(sorted[below + 1])) return std::nullopt;
    return sorted[below] + (sorted[below + 1] - sorted[below]) * fraction;
}

Distribution Describe(std::vector<double> values) {
    Distribution d;
    if (!std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); })) {
        // A value beyond the number range: no figure of the distribution can be told.
        const double none = std::numeric_limits<double>::quiet_NaN();
        d.mean = d.sd = d.aheadShare = none;
        d.p5 = d.p25 = d.p50 = d.p75 = d.p95 = d.min = d.max = none;
        return d;
    }
    d.mean = Mean(values);
    d.sd = SampleSd(values, d.mean);
    const auto ahead = std::count_if(values.begin(), values.end(), [](double v) { return v > 0; });
    d.aheadShare = static_cast<double>(ahead) / static_cast<double>(values.size());
    std::sort(values.begin(), values.end());
    d.p5 = Percentile(values, 5);
    d.p25 = Percentile(values, 25);
    d.p50 = Percentile(values, 50);
    d.p75 = Percentile(values, 75);
    d.p95 = Percentile(values, 95);
    d.min = values.front();
    d.max = values.back();
    return d;
}

std::vector<std::int64_t> Checkpoints(std::int64_t games, std::int64_t most) {
    std::vector<std::int64_t> points;
    const std::int64_t count = std::min(games, most);
    for (std::int64_t k = 1; k <= count; ++k) points.push_back((games * k + count - 1) / count);
    return points;
}

}  // namespace taviro
