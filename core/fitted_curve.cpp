#include "core/fitted_curve.h"

#include <algorithm>
#include <cmath>

#include "core/numbers.h"

namespace taviro {

FittedScale::FittedScale(std::int64_t games, BalanceExtent extent, PixelRect area)
    : games_(std::max<std::int64_t>(games, 1)),
      low_(extent.Empty() ? 0 : extent.low),
      high_(extent.Empty() ? 0 : extent.high),
      area_(area) {
    if (low_ == high_) {
        low_ -= 1;
        high_ += 1;
    }
    area_.right = std::max(area_.right, area_.left + 1);
    area_.bottom = std::max(area_.bottom, area_.top + 1);
}

int FittedScale::Column(std::int64_t game) const {
    const std::int64_t steps = area_.right - area_.left;
    // Rounded to the nearest column, in integers: exact for any 32-bit game count.
    return area_.left + static_cast<int>((2 * game * steps + games_) / (2 * games_));
}

std::int64_t FittedScale::FirstGameFrom(int column) const {
    const std::int64_t c = column - area_.left;
    if (c <= 0) return 0;
    const std::int64_t steps = area_.right - area_.left;
    // The least game g with 2 g steps + games >= 2 games c.
    const std::int64_t numerator = games_ * (2 * c - 1);
    return (numerator + 2 * steps - 1) / (2 * steps);
}

int FittedScale::Row(double balance) const {
    // Halves keep the difference of two huge balances finite.
    double share = (high_ * 0.5 - balance * 0.5) / (high_ * 0.5 - low_ * 0.5);
    if (!(share >= 0)) share = 0;
    share = std::min(share, 1.0);
    return area_.top + static_cast<int>(std::lround(share * (area_.bottom - area_.top)));
}

double RoundStep(double least) {
    double power = std::pow(10.0, std::floor(std::log10(least)));
    while (power > least) power /= 10;
    while (power * 10 <= least) power *= 10;
    for (double m : {1.0, 2.0, 5.0}) {
        if (m * power >= least) return m * power;
    }
    return 10 * power;
}

std::string MarkText(double value, double step) {
    if (step < 1e4 || value == 0) return FormatNumber(value);
    if (std::abs(value) >= 1e8) return FormatNumber(value / 1e8) + "億";
    return FormatNumber(value / 1e4) + "万";
}

std::vector<AxisMark> BalanceMarks(const FittedScale& scale) {
    constexpr int kMostSteps = 7;
    const double step = RoundStep(scale.High() / kMostSteps - scale.Low() / kMostSteps);
    std::vector<AxisMark> marks;
    const double last = std::floor(scale.High() / step);
    for (double k = std::ceil(scale.Low() / step); k <= last; ++k) {
        const double value = k * step;
        marks.push_back({scale.Row(value), MarkText(value, step), value == 0});
    }
    return marks;
}

std::vector<AxisMark> GameMarks(const FittedScale& scale) {
    constexpr int kMostMarks = 5;
    const auto step = std::max<std::int64_t>(
        1, std::llround(RoundStep(static_cast<double>(scale.Games()) / kMostMarks)));
    std::vector<AxisMark> marks;
    for (std::int64_t game = step; game <= scale.Games(); game += step) {
        marks.push_back(
            {scale.Column(game), MarkText(static_cast<double>(game), static_cast<double>(step))});
    }
    return marks;
}

std::vector<Stroke> FittedStrokes(const GameHistory& history, const FittedScale& scale) {
    const std::int64_t games = scale.Games();
    const PixelRect& area = scale.Area();
    std::vector<Stroke> strokes;
    if (static_cast<std::int64_t>(history.Size()) <= games) return strokes;
    if (games <= area.right - area.left) {
        HistoryReader game(history, 0);
        for (std::int64_t i = 1; i <= games; ++i) {
            const double from = game.Balance();
            game.Next();
            const double to = game.Balance();
            if (!std::isfinite(from) || !std::isfinite(to)) continue;
            strokes.push_back(
                {{scale.Column(i - 1), scale.Row(from)}, {scale.Column(i), scale.Row(to)}});
        }
        return strokes;
    }
    for (int column = area.left; column <= area.right; ++column) {
        const std::int64_t first = scale.FirstGameFrom(column);
        const std::int64_t last =
            column == area.right ? games : scale.FirstGameFrom(column + 1) - 1;
        const BalanceExtent extent = history.Of(std::max<std::int64_t>(first - 1, 0), last);
        if (extent.Empty()) continue;
        strokes.push_back({{column, scale.Row(extent.high)}, {column, scale.Row(extent.low)}});
    }
    return strokes;
}

}  // namespace taviro
