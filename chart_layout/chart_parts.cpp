#include "chart_layout/chart_parts.h"

#include <algorithm>
#include <cmath>

#include "core/concat.h"
#include "core/number_text.h"

namespace taviro::stats {

namespace {

// 1, 2 or 5 times a power of ten, the smallest not below `least` (positive); `decimals`
// receives the places a multiple of it needs.
double RoundStep(double least, int& decimals) {
    int exponent = static_cast<int>(std::floor(std::log10(least)));
    double power = std::pow(10.0, exponent);
    if (power > least) power = std::pow(10.0, --exponent);
    if (power * 10 <= least) power = std::pow(10.0, ++exponent);
    decimals = std::max(0, -exponent);
    for (double m : {1.0, 2.0, 5.0}) {
        if (m * power >= least) return m * power;
    }
    decimals = std::max(0, -exponent - 1);
    return 10 * power;
}

// k × step, rounded to the step's decimal places so that 3 × 0.1 reads 0.3.
double Multiple(double k, double step, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(k * step * scale) / scale;
}

}  // namespace

Axis::Axis(double low, double high, double from, double to, int most, bool widen)
    : low_(low), high_(high), from_(from), to_(to), step_(1) {
    if (!std::isfinite(low_) || !std::isfinite(high_)) low_ = high_ = 0;
    if (low_ > high_) std::swap(low_, high_);
    if (low_ == high_) {
        const double half = low_ == 0 ? 1 : std::abs(low_) * 0.1;
        low_ -= half;
        high_ += half;
    }
    int decimals = 0;
    step_ = RoundStep((high_ - low_) / std::max(most, 1), decimals);
    if (widen) {
        low_ = Multiple(std::floor(low_ / step_), step_, decimals);
        high_ = Multiple(std::ceil(high_ / step_), step_, decimals);
    }
    for (double k = std::ceil(low_ / step_); k <= std::floor(high_ / step_); ++k) {
        double value = Multiple(k, step_, decimals);
        if (value == 0) value = 0;  // no "-0"
        if (value < low_ || value > high_) continue;
        ticks_.push_back({value, Position(value), TickText(value, step_)});
    }
}

double Axis::Position(double value) const {
    return from_ + (value - low_) / (high_ - low_) * (to_ - from_);
}

std::string TickText(double value, double step) {
    if (step >= 1e4 && value != 0) return Concat(RoundedNumber(value / 1e4, 4), "万");
    int decimals = 0;
    while (decimals < 12 && std::abs(step * std::pow(10.0, decimals) -
                                     std::round(step * std::pow(10.0, decimals))) > 1e-9) {
        ++decimals;
    }
    return FixedNumber(value, decimals);
}

double SizeUnit(double width, double height) {
    return std::min(width / 1600, height / 1000);
}

double TextWidth(std::string_view text, double size) {
    double width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const std::size_t length = byte < 0x80 ? 1 : byte < 0xe0 ? 2 : byte < 0xf0 ? 3 : 4;
        width += DisplayWidth(text.substr(i, length)) == 2 ? size : 0.6 * size;
        i += length;
    }
    return width;
}

void AddGrid(Drawing& d, const Plot& plot, double unit, bool xLabels, bool yLabels, bool xLines) {
    const Box& b = plot.box;
    const double labelSize = 15 * unit;
    for (const Tick& t : plot.y.Ticks()) {
        d.marks.push_back(Line{{{b.left, t.position}, {b.Right(), t.position}}, Ink::Grid, unit});
        if (yLabels) {
            d.marks.push_back(Caption{
                t.text, {b.left - 6 * unit, t.position}, Anchor::Right, labelSize, Ink::Muted});
        }
    }
    // Labels at the ends stay above their own area, clear of a neighbour's. The others are
    // centred on their ticks; when they would touch, only every second (third...) tick is
    // labelled, so that the labels stay evenly spaced.
    struct Label {
        const Tick* tick;
        Anchor anchor;
        double start, end;
    };
    std::vector<Label> all;
    for (const Tick& t : plot.x.Ticks()) {
        if (xLines) {
            d.marks.push_back(
                Line{{{t.position, b.top}, {t.position, b.Bottom()}}, Ink::Grid, unit});
        }
        const double w = TextWidth(t.text, labelSize);
        if (t.position <= b.left + 0.5) {
            all.push_back({&t, Anchor::TopLeft, t.position, t.position + w});
        } else if (t.position >= b.Right() - 0.5) {
            all.push_back({&t, Anchor::TopRight, t.position - w, t.position});
        } else {
            all.push_back({&t, Anchor::Top, t.position - w / 2, t.position + w / 2});
        }
    }
    std::vector<Label> kept;
    for (std::size_t stride = 1; stride <= std::max<std::size_t>(all.size(), 1); ++stride) {
        kept.clear();
        for (std::size_t i = 0; i < all.size(); i += stride) kept.push_back(all[i]);
        bool clear = true;
        for (std::size_t i = 1; i < kept.size(); ++i) {
            clear = clear && kept[i - 1].end + 6 * unit <= kept[i].start;
        }
        if (clear) break;
    }
    for (const Label& label : kept) {
        if (!xLabels) break;
        d.marks.push_back(Caption{label.tick->text,
                                  {label.tick->position, b.Bottom() + 5 * unit},
                                  label.anchor,
                                  labelSize,
                                  Ink::Muted});
    }
    d.marks.push_back(Line{{{b.left, b.top},
                            {b.Right(), b.top},
                            {b.Right(), b.Bottom()},
                            {b.left, b.Bottom()},
                            {b.left, b.top}},
                           Ink::Frame,
                           unit});
}

void AddZeroLine(Drawing& d, const Plot& plot, double unit, bool vertical) {
    const Axis& axis = vertical ? plot.x : plot.y;
    if (!(axis.Low() <= 0 && 0 <= axis.High())) return;
    const double at = axis.Position(0);
    const Box& b = plot.box;
    d.marks.push_back(vertical ? Line{{{at, b.top}, {at, b.Bottom()}}, Ink::Zero, 1.5 * unit}
                               : Line{{{b.left, at}, {b.Right(), at}}, Ink::Zero, 1.5 * unit});
}

std::pair<double, double> FanRange(std::span<const Band> bands) {
    double low = 0, high = 0;
    for (const Band& band : bands) {
        if (std::isfinite(band.p5)) low = std::min(low, band.p5);
        if (std::isfinite(band.p95)) high = std::max(high, band.p95);
    }
    return {low, high};
}

void AddFan(Drawing& d, const Plot& plot, std::span<const Band> bands, double unit) {
    std::vector<Band> shown;
    for (const Band& b : bands) {
        if (std::isfinite(b.p5) && std::isfinite(b.p25) && std::isfinite(b.p50) &&
            std::isfinite(b.p75) && std::isfinite(b.p95)) {
            shown.push_back(b);
        }
    }
    if (shown.size() < 2) return;
    const auto at = [&](const Band& b, double value) {
        return Point{plot.x.Position(static_cast<double>(b.games)), plot.y.Position(value)};
    };
    const auto between = [&](double Band::*lower, double Band::*upper, Ink ink) {
        Area area{{}, ink};
        for (const Band& b : shown) area.outline.push_back(at(b, b.*upper));
        for (auto b = shown.rbegin(); b != shown.rend(); ++b) {
            area.outline.push_back(at(*b, (*b).*lower));
        }
        d.marks.push_back(std::move(area));
    };
    between(&Band::p5, &Band::p95, Ink::OuterBand);
    between(&Band::p25, &Band::p75, Ink::InnerBand);
    AddZeroLine(d, plot, unit);
    Line median{{}, Ink::Median, 2.5 * unit};
    for (const Band& b : shown) median.points.push_back(at(b, b.p50));
    d.marks.push_back(std::move(median));
}

double AddLegend(Drawing& d, Point at, std::span<const LegendEntry> entries, double size) {
    double x = at.x;
    for (const LegendEntry& e : entries) {
        if (e.line) {
            d.marks.push_back(Line{{{x, at.y}, {x + 1.6 * size, at.y}}, e.ink, size / 6});
        } else {
            const double h = size * 0.4;
            d.marks.push_back(Area{{{x, at.y - h},
                                    {x + 1.6 * size, at.y - h},
                                    {x + 1.6 * size, at.y + h},
                                    {x, at.y + h}},
                                   e.ink});
        }
        x += 2 * size;
        d.marks.push_back(Caption{e.text, {x, at.y}, Anchor::Left, size, Ink::Text});
        x += TextWidth(e.text, size) + 1.5 * size;
    }
    return x;
}

std::vector<LegendEntry> FanLegend() {
    return {{Ink::Median, true, "中央値"},
            {Ink::InnerBand, false, "25～75%点"},
            {Ink::OuterBand, false, "5～95%点"},
            {Ink::Zero, true, "0枚"}};
}

void AddUprightTitle(Drawing& d, const std::string& text, double x, double middle, double unit) {
    d.marks.push_back(Caption{text, {x, middle}, Anchor::Top, 16 * unit, Ink::Text, false, true});
}

double LeftGutter(const Axis& y, double unit) {
    double labels = 0;
    for (const Tick& t : y.Ticks()) labels = std::max(labels, TextWidth(t.text, 15 * unit));
    return 20 * unit + 26 * unit + labels + 8 * unit;
}

double AddTitle(Drawing& d, const std::string& title, const std::string& subtitle, double unit) {
    const double margin = 20 * unit;
    d.marks.push_back(
        Caption{title, {margin, margin}, Anchor::TopLeft, 30 * unit, Ink::Text, true});
    d.marks.push_back(
        Caption{subtitle, {margin, margin + 42 * unit}, Anchor::TopLeft, 19 * unit, Ink::Muted});
    return margin + 70 * unit;
}

std::string Signed(double value, int decimals) {
    const std::string text = FixedNumber(value, decimals);
    if (text.empty()) return "-";
    if (text.front() == '-' || text.find_first_not_of("0.") == std::string::npos) return text;
    return Concat("+", text);
}

}  // namespace taviro::stats
