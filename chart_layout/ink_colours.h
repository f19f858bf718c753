// The colour of each ink, from the Okabe-Ito palette, whose colours stay apart for colour-blind
// eyes: blue for the coins and for sessions ahead, vermilion for sessions behind. Every writer of
// a drawing (the Qt painter, the SVG writer) takes its colours from here.
#pragma once

#include <cstdint>

#include "chart_layout/drawing.h"

namespace taviro::stats {

struct Rgba {
    std::uint8_t red = 0, green = 0, blue = 0, alpha = 255;
};

Rgba InkRgba(Ink ink);

}  // namespace taviro::stats
