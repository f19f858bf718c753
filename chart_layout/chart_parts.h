// The pieces the program's charts are made of: axes at round values, plot areas with their
// frames, grid lines and tick labels, the fan of percentile bands, legends and titles. Sizes
// are in pixels, scaled by a unit that is 1 at the default picture size of 1600 x 1000.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "chart_layout/drawing.h"
#include "core/distribution.h"

namespace taviro::stats {

struct Tick {
    double value;
    double position;  // pixels
    std::string text;
};

// Values from Low() to High() along pixels `from` to `to` (either way round), with ticks at the
// multiples of a round step (1, 2 or 5 times a power of ten) that lie in the range.
class Axis {
  public:
    // At most `most` steps from `low` to `high`. `widen` moves the ends out to the nearest
    // multiples of the step; otherwise they stay where they are. A range that is empty or not
    // finite is made one either side of its value (or 0 to 1).
    Axis(double low, double high, double from, double to, int most, bool widen);

    double Low() const { return low_; }
    double High() const { return high_; }
    double Step() const { return step_; }
    const std::vector<Tick>& Ticks() const { return ticks_; }
    // The pixel of `value` (not held inside the range).
    double Position(double value) const;

  private:
    double low_, high_, from_, to_, step_;
    std::vector<Tick> ticks_;
};

// The tick text of `value` on an axis whose ticks are `step` apart: as many decimals as the
// step has, and 万 for steps of 10000 or more.
std::string TickText(double value, double step);

// 1 at 1600 x 1000 pixels: the scale of every size in a picture.
double SizeUnit(double width, double height);

// An estimate of the width of `text` at `size` pixels: a wide character is as wide as the size,
// any other (digits, Latin letters) six tenths of it.
double TextWidth(std::string_view text, double size);

struct Plot {
    Box box;
    Axis x, y;
};

// Grid lines at the ticks (at the x ticks only with `xLines`), the frame, and the tick labels:
// the y axis's left of the area when `yLabels`, the x axis's below it when `xLabels`, leaving
// out an x label that would touch the one before it.
void AddGrid(Drawing& d, const Plot& plot, double unit, bool xLabels, bool yLabels,
             bool xLines = true);

// The horizontal line of 0, where 0 lies in the y range; the vertical one with `vertical`.
void AddZeroLine(Drawing& d, const Plot& plot, double unit, bool vertical = false);

// The y range a fan of `bands` needs: their lowest 5% to their highest 95%, and 0.
std::pair<double, double> FanRange(std::span<const Band> bands);

// The 5-95% and 25-75% bands as areas and the median as a line, the bands' games along x; bands
// whose figures are not finite numbers are left out.
void AddFan(Drawing& d, const Plot& plot, std::span<const Band> bands, double unit);

struct LegendEntry {
    Ink ink;
    bool line;  // a line, else a filled square
    std::string text;
};

// The entries in a row from `at` (the middle of the row's left end); returns the x after them.
double AddLegend(Drawing& d, Point at, std::span<const LegendEntry> entries, double size);

// The legend of a fan chart.
std::vector<LegendEntry> FanLegend();

// An axis title turned upright, its top at `x` and centred on `middle`.
void AddUprightTitle(Drawing& d, const std::string& text, double x, double middle, double unit);
// The room left of a plot for its upright title and its widest y label.
double LeftGutter(const Axis& y, double unit);

// The title and the line under it, at the top left; returns the y below them.
double AddTitle(Drawing& d, const std::string& title, const std::string& subtitle, double unit);

// A number with `decimals` places and its sign: "+12.5", "-3.0", "0.0"; "-" when not finite.
std::string Signed(double value, int decimals);

}  // namespace taviro::stats
