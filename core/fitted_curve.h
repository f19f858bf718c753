// The slump graph fitted to the whole run: games 0 to the last across a plot area of pixels and
// the lowest to the highest balance up and down, its grid at round values with their label texts,
// and the strokes that draw the curve.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/balance_extent.h"
#include "core/game_history.h"

namespace taviro {

struct PixelPoint {
    int x;
    int y;
};

// Pixel columns left to right and rows top to bottom, all included.
struct PixelRect {
    int left, top, right, bottom;

    bool Contains(PixelPoint p) const {
        return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
    }
};

class FittedScale {
  public:
    // Game 0 falls on the left column and game `games` on the right one; the highest balance of
    // `extent` on the top row and the lowest on the bottom row. A run that never moved is given
    // one coin either side. The area is made at least two pixels wide and high.
    FittedScale(std::int64_t games, BalanceExtent extent, PixelRect area);

    std::int64_t Games() const { return games_; }
    double Low() const { return low_; }
    double High() const { return high_; }
    const PixelRect& Area() const { return area_; }

    // The column of a game, and the row of a balance (held inside the area).
    int Column(std::int64_t game) const;
    int Row(double balance) const;
    // The first game whose column is not left of `column`.
    std::int64_t FirstGameFrom(int column) const;

  private:
    std::int64_t games_;
    double low_;
    double high_;
    PixelRect area_;
};

// A grid line or an axis label: its row (balances) or column (games) and its text.
struct AxisMark {
    int position;
    std::string text;
    bool zero = false;  // the line of balance 0
};

// 1, 2 or 5 times a power of ten: the smallest not below `least` (a positive number).
double RoundStep(double least);
// The label of `value` on an axis whose marks are `step` apart: plain numbers for steps below
// 10000, otherwise in 万 (ten thousands) or, from 1億 (10^8) on, in 億.
std::string MarkText(double value, double step);
// Grid lines at round balances from the lowest to the highest, at most 8.
std::vector<AxisMark> BalanceMarks(const FittedScale& scale);
// Round game counts after game 0 up to the last game, at most 5.
std::vector<AxisMark> GameMarks(const FittedScale& scale);

struct Stroke {
    PixelPoint from;
    PixelPoint to;
};

// The curve of games 0 to scale.Games() of `history`. Where games are a pixel or more apart: one
// segment per game, from the point of the game before. Otherwise one vertical stroke per column,
// from the lowest to the highest point of the games in it and of the game before the first of
// them, read from the extents of the history's blocks of games. Balances that are not finite
// numbers are left out.
std::vector<Stroke> FittedStrokes(const GameHistory& history, const FittedScale& scale);

}  // namespace taviro
