#include "chart_layout/slump_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "core/fitted_curve.h"
#include "core/graph_description.h"
#include "core/numbers.h"
#include "core/slump_curve.h"

namespace taviro::stats {

namespace {

constexpr double kTwipsPerPixel = 15;
constexpr double kStroke = 15;      // one pixel
constexpr double kLabelSize = 240;  // 16 pixels, read on a phone at half the size
constexpr double kLabelGap = 45;

Drawing Empty() {
    Drawing d;
    d.width = kSlumpWidthTwips;
    d.height = kSlumpHeightTwips;
    return d;
}

void AddLine(Drawing& d, Point from, Point to, Ink ink, bool dashed = false) {
    d.marks.emplace_back(Line{{from, to}, ink, kStroke, dashed});
}

void AddLabel(Drawing& d, std::string text, Point at, Anchor anchor) {
    d.marks.emplace_back(Caption{std::move(text), at, anchor, kLabelSize, Ink::Text});
}

// A pixel of the window's (rounded as the window places its controls) as twips.
double Twips(int pixels) {
    return pixels * kTwipsPerPixel;
}
int Pixels(int twips) {
    return (twips + 7) / 15;
}

}  // namespace

Drawing DrawDesignedSlump(const SimulationState& s, std::string& description) {
    Drawing d = Empty();
    const PlotTwips plot = kDesignedPlot;
    // Every 1000 twips a dashed line, the balance 0 solid; its label beside the axis.
    for (int y = 1000; y <= 8000; y += 1000) {
        const bool zero = y == s.GraphY0;
        AddLine(d, {double(plot.left), double(y)}, {double(plot.right), double(y)},
                zero ? Ink::Zero : Ink::Grid, !zero);
        const double balance = double(s.GraphY0 - y) * s.GraphYDiv;
        AddLabel(d, FormatNumber(balance), {plot.left - kLabelGap, double(y)}, Anchor::Right);
    }
    for (int x = 3000; x <= 9000; x += 2000) {
        AddLabel(d, FormatNumber(double(x - s.GraphX0)), {double(x), s.GraphY0 + kLabelGap},
                 Anchor::Top);
    }
    AddLabel(d, "プレイ数", {double(plot.right), s.GraphY0 + kLabelGap + kLabelSize},
             Anchor::TopRight);
    AddLine(d, {double(plot.left), 360}, {double(plot.left), double(plot.bottom)}, Ink::Frame);

    // Segments run from each game back to the one before: consecutive ones share a point.
    Line curve{{}, Ink::Text, kStroke, false};
    CurvePoint last{NAN, NAN};
    auto flush = [&] {
        if (curve.points.size() >= 2) d.marks.emplace_back(curve);
        curve.points.clear();
    };
    ForEachVisibleSegment(s, plot.right, [&](CurvePoint from, CurvePoint to) {
        if (!(to.x == last.x && to.y == last.y)) {
            flush();
            curve.points.push_back({to.x, to.y});
        }
        curve.points.push_back({from.x, from.y});
        last = from;
    });
    flush();
    const std::int64_t shown = std::int64_t{plot.right} - s.GraphX0;
    description = GraphDescription(s, shown);
    return d;
}

Drawing DrawFittedSlump(const SimulationState& s, int ratio, std::string& description) {
    Drawing d = Empty();
    const PixelRect plot{Pixels(kFittedPlot.left), Pixels(kFittedPlot.top),
                         Pixels(kFittedPlot.right), Pixels(kFittedPlot.bottom)};
    auto x = [](int pixel) { return Twips(pixel) + kTwipsPerPixel / 2; };
    AddLine(d, {x(plot.left), x(plot.top)}, {x(plot.left), x(plot.bottom)}, Ink::Frame);
    const std::int64_t games =
        std::min<std::int64_t>(s.GameCount, static_cast<std::int64_t>(s.History.Size()) - 1);
    description = std::string(kEmptyGraphDescription);
    if (games >= 1) {
        const BalanceExtent extent = s.History.Of(0, games);
        const FittedScale grid(games, extent, plot);
        for (const AxisMark& mark : BalanceMarks(grid)) {
            AddLine(d, {x(plot.left), x(mark.position)}, {x(plot.right), x(mark.position)},
                    mark.zero ? Ink::Zero : Ink::Grid, !mark.zero);
            AddLabel(d, mark.text, {x(plot.left) - kLabelGap, x(mark.position)}, Anchor::Right);
        }
        for (const AxisMark& mark : GameMarks(grid)) {
            AddLine(d, {x(mark.position), x(plot.top)}, {x(mark.position), x(plot.bottom)},
                    Ink::Grid, true);
            AddLabel(d, mark.text, {x(mark.position), x(plot.bottom) + kLabelGap}, Anchor::Top);
        }
        // The strokes in device pixels: a line between the centres of two pixels, or, for a
        // column, the pixels from one end to the other filled.
        const PixelRect image{plot.left * ratio, plot.top * ratio, (plot.right + 1) * ratio - 1,
                              (plot.bottom + 1) * ratio - 1};
        const FittedScale scale(games, extent, image);
        const double unit = kTwipsPerPixel / ratio;
        for (const Stroke& stroke : FittedStrokes(s.History, scale)) {
            if (stroke.from.x == stroke.to.x) {
                const double left = stroke.from.x * unit, right = left + unit;
                const double top = std::min(stroke.from.y, stroke.to.y) * unit;
                const double bottom = (std::max(stroke.from.y, stroke.to.y) + 1) * unit;
                d.marks.emplace_back(
                    Area{{{left, top}, {right, top}, {right, bottom}, {left, bottom}}, Ink::Text});
            } else {
                auto at = [unit](PixelPoint p) {
                    return Point{(p.x + 0.5) * unit, (p.y + 0.5) * unit};
                };
                d.marks.emplace_back(
                    Line{{at(stroke.from), at(stroke.to)}, Ink::Text, unit, false});
            }
        }
        description = FittedGraphDescription(s, extent.high);
    }
    AddLabel(d, "プレイ数", {x(plot.right), x(plot.bottom) + kLabelGap + kLabelSize},
             Anchor::TopRight);
    return d;
}

}  // namespace taviro::stats
