#include "core/progress_figures.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace taviro {

double SteadyClock::Seconds() const {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double>(now).count();
}

ProgressMeter::ProgressMeter(const Clock& clock, std::int64_t total)
    : clock_(clock), start_(clock.Seconds()), lastIdle_(start_), total_(total) {}

ProgressFigures ProgressMeter::Figures(std::int64_t done) {
    ProgressFigures figures;
    if (total_ <= 0) return figures;
    done = std::clamp<std::int64_t>(done, 0, total_);
    // In double precision, as counts of many sessions go beyond what done × 100 can hold; 100 only
    // when everything is done.
    figures.percent = done == total_
                          ? 100
                          : std::min(99, static_cast<int>(static_cast<double>(done) /
                                                          static_cast<double>(total_) * 100));
    const double now = clock_.Seconds();
    if (done == 0) lastIdle_ = now;
    const double elapsed = now - lastIdle_;
    if (done > 0 && elapsed > 0) {
        figures.perSecond = static_cast<double>(done) / elapsed;
        figures.secondsLeft = static_cast<double>(total_ - done) / figures.perSecond;
    }
    return figures;
}

ProgressLines ProgressMeter::Lines(std::int64_t done, std::string_view unit) {
    const ProgressFigures figures = Figures(done);
    const std::string units(unit);
    ProgressLines lines;
    lines.share =
        std::to_string(figures.percent) + "%（" +
        GroupedNumber(std::clamp<std::int64_t>(done, 0, std::max<std::int64_t>(total_, 0))) +
        " / " + GroupedNumber(total_) + " " + units + "）";
    if (figures.perSecond > 0) {
        lines.pace = "毎秒 " + GroupedNumber(std::llround(figures.perSecond)) + " " + units;
    } else {
        lines.pace = done <= 0 ? "準備しています…" : "毎秒 - " + units;
    }
    lines.timeLeft = TimeLeftText(figures.secondsLeft);
    return lines;
}

std::string GroupedNumber(std::int64_t value) {
    const std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    const std::string digits = std::to_string(magnitude);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
        grouped += digits[i];
    }
    return value < 0 ? "-" + grouped : grouped;
}

std::string TimeLeftText(std::optional<double> seconds) {
    if (!seconds || !std::isfinite(*seconds)) return "残り時間を計算しています";
    const auto whole = std::max<std::int64_t>(1, static_cast<std::int64_t>(std::ceil(*seconds)));
    if (whole < 60) return "残り 約" + std::to_string(whole) + "秒";
    if (whole < 3600) {
        const std::string minutes = std::to_string(whole / 60) + "分";
        return "残り 約" + minutes + (whole % 60 == 0 ? "" : std::to_string(whole % 60) + "秒");
    }
    const std::int64_t minutes = (whole + 59) / 60;
    return "残り 約" + std::to_string(minutes / 60) + "時間" +
           (minutes % 60 == 0 ? "" : std::to_string(minutes % 60) + "分");
}

}  // namespace taviro
