// The picture of a taviro-stats run, from the same sessions as the table: for each setting in a
// column of its own, the fan of the coin balance over the session above the spread of the final
// net result in thousand yen, all columns on the same axes; the title holds the run's parameters
// and seed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "chart_layout/drawing.h"
#include "core/distribution.h"
#include "sessions/report.h"
#include "sessions/sessions.h"

namespace taviro::stats {

// Bin k holds the results above low + k × width up to low + (k + 1) × width (the first bin holds
// `low` too): a bin never holds results on both sides of 0.
struct NetHistogram {
    double low = 0, width = 1;
    std::vector<double> shares;   // of the setting's sessions with a result
    double below = 0, above = 0;  // shares beyond the bins
};

struct SettingCurves {
    int setting = 0;
    std::int64_t sessions = 0;  // completed
    std::vector<Band> bands;    // the balance from game 0, where every session stands at 0
    NetHistogram net;           // thousand yen, the same bins for every setting
    double aheadShare = 0;      // results above 0
    double medianNet = 0;       // thousand yen
};

struct SessionsPicture {
    std::string title, subtitle;
    std::int32_t games = 0;
    std::vector<SettingCurves> settings;
};

// Bins of round width over the results of all settings, from the lowest 0.5% point of a setting
// to the highest 99.5% point; about `bins` of them.
inline constexpr int kNetBins = 40;

// From the played sessions and their figures (`report.figures`, in the order of `settings`);
// the bands are worked out on up to `threads` threads.
SessionsPicture PictureOfSessions(const SessionsPlan& plan, const Report& report,
                                  const std::vector<SettingSessions>& settings, unsigned threads);

// Points at which each session's balance is kept for the curves of a picture `width` pixels
// wide with `columns` columns: about one per 4 pixels of a column, from 32 to 200.
std::int64_t CurvePoints(int width, std::size_t columns);

// The picture laid out on `width` x `height` pixels.
Drawing DrawSessions(const SessionsPicture& picture, double width, double height);

}  // namespace taviro::stats
