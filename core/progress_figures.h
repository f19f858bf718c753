// What the progress of a long task shows (a run, the rebuilding of a history, a data file in the
// windows' progress dialog; the sessions of taviro-stats on its terminal line): the share done,
// the pace and the time left, worked out from the count done and a clock.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace taviro {

// Monotonic time, behind a small interface so that tests can set it.
class Clock {
  public:
    virtual ~Clock() = default;
    // Seconds from a fixed point in the past; never goes back.
    virtual double Seconds() const = 0;
};

class SteadyClock final : public Clock {
  public:
    double Seconds() const override;
};

// The texts of one kind of task.
struct TaskTexts {
    std::string_view heading;  // what is going on
    std::string_view unit;     // what the count counts
    bool cancellable;
};

inline constexpr TaskTexts kRunTask = {"シミュレートしています…", "ゲーム", true};
inline constexpr TaskTexts kRestoreTask = {"前回の結果を元に戻しています…", "ゲーム", false};
inline constexpr TaskTexts kSaveTask = {"データファイルを保存しています…", "行", true};
inline constexpr std::string_view kCancellingHeading = "中止しています…";

struct ProgressFigures {
    int percent = 0;  // whole percent done, rounded down: 100 only when done
    // The average pace since the count left 0 (a run with history first prepares its memory);
    // 0 until it can be measured.
    double perSecond = 0;
    std::optional<double> secondsLeft;  // nothing until the pace is known
};

// The three lines the dialog shows below its heading.
struct ProgressLines {
    std::string share;  // "45%（967,000,000 / 2,147,483,647 ゲーム）"
    std::string pace;  // "毎秒 515,234,000 ゲーム"; "準備しています…" while nothing is done
    std::string timeLeft;  // "残り 約1分5秒"
};

// Times one task from its construction on.
class ProgressMeter {
  public:
    // The dialog appears once a task has taken this long.
    static constexpr double kDialogDelaySeconds = 0.5;

    ProgressMeter(const Clock& clock, std::int64_t total);

    bool DialogDue() const { return clock_.Seconds() - start_ >= kDialogDelaySeconds; }
    // Each call with a count of 0 moves the point the pace is measured from.
    ProgressFigures Figures(std::int64_t done);
    ProgressLines Lines(std::int64_t done, std::string_view unit);

  private:
    const Clock& clock_;
    double start_;
    double lastIdle_;  // the last time the count was seen at 0
    std::int64_t total_;
};

// 2147483647 as "2,147,483,647".
std::string GroupedNumber(std::int64_t value);
// "残り 約12秒", "残り 約3分5秒", "残り 約2時間10分"; rounded up, so that a task still running
// never shows 0. Without an estimate: "残り時間を計算しています".
std::string TimeLeftText(std::optional<double> seconds);

}  // namespace taviro
