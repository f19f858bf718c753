// A picture as a list of marks in pixels, put down in order. Every chart of the program is laid
// out into one of these by window-free code; whatever draws it (a PNG or SVG file, a window, a web
// page) only gives each ink its colour (ink_colours.h), each caption its font, and puts the marks
// down.
#pragma once

#include <deque>
#include <string>
#include <variant>
#include <vector>

namespace taviro::stats {

struct Point {
    bool operator==(const Point&) const = default;
    double x = 0, y = 0;
};

struct Box {
    double left = 0, top = 0, width = 0, height = 0;

    double Right() const { return left + width; }
    double Bottom() const { return top + height; }
};

// What a mark is, for its colour: the painter holds the colours.
enum class Ink {
    Text,
    Muted,      // secondary text
    Grid,       // grid lines at the ticks
    Frame,      // a plot area's edge
    Zero,       // the line of 0
    Median,     // the median line
    InnerBand,  // 25% to 75%
    OuterBand,  // 5% to 95%
    Behind,     // sessions that ended behind
    Ahead,      // sessions that ended ahead
    Prior,
    Posterior,
};

// A filled polygon.
struct Area {
    std::vector<Point> outline;
    Ink ink;
};

// An open line through the points.
struct Line {
    std::vector<Point> points;
    Ink ink;
    double width = 1;
    bool dashed = false;
};

// Which point of the text's box lies on `at`.
enum class Anchor { TopLeft, Top, TopRight, Left, Center, Right, BottomLeft, Bottom, BottomRight };

struct Caption {
    std::string text;
    Point at;
    Anchor anchor = Anchor::TopLeft;
    double size = 16;  // pixels
    Ink ink = Ink::Text;
    bool bold = false;
    bool upright = false;  // turned a quarter left, read from the bottom up (the anchor turns too)
};

using Mark = std::variant<Area, Line, Caption>;

struct Drawing {
    double width = 0, height = 0;  // pixels
    std::deque<Mark> marks;        // appended to without moving the marks already there
};

}  // namespace taviro::stats
