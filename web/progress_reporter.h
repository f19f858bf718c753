// Progress of a long call, told to the page while the call runs: the worker cannot be asked from
// elsewhere, so the work's RunControl calls back at each count it publishes, and the page is sent
// the texts of the windows' progress dialog a few times a second.
#pragma once

#include <emscripten/val.h>

#include <cstdint>
#include <utility>

#include "core/progress_figures.h"
#include "core/run_control.h"

namespace taviro::web {

class ProgressReporter {
  public:
    // `tell` receives {percent, share, pace, timeLeft, due}; `due` once the task has taken long
    // enough for the dialog to appear.
    ProgressReporter(std::int64_t total, const TaskTexts& task, emscripten::val tell)
        : meter_(clock_, total), task_(task), tell_(std::move(tell)) {}
    // Told the counts that `control` publishes.
    ProgressReporter(RunControl& control, std::int64_t total, const TaskTexts& task,
                     emscripten::val tell)
        : ProgressReporter(total, task, std::move(tell)) {
        control.Observe(&ProgressReporter::Published, this);
    }
    ProgressReporter(const ProgressReporter&) = delete;
    ProgressReporter& operator=(const ProgressReporter&) = delete;

    // The count done; a report when the last is long enough ago.
    void Tell(std::int64_t done) {
        const double now = clock_.Seconds();
        if (now - last_ < kInterval || tell_.isUndefined()) return;
        last_ = now;
        const ProgressFigures figures = meter_.Figures(done);
        const ProgressLines lines = meter_.Lines(done, task_.unit);
        emscripten::val report = emscripten::val::object();
        report.set("percent", figures.percent);
        report.set("heading", std::string(task_.heading));
        report.set("share", lines.share);
        report.set("pace", lines.pace);
        report.set("timeLeft", lines.timeLeft);
        report.set("due", meter_.DialogDue());
        tell_(report);
    }

  private:
    static constexpr double kInterval = 0.1;  // seconds between two reports

    static void Published(void* self, std::int64_t games) {
        static_cast<ProgressReporter*>(self)->Tell(games);
    }

    SteadyClock clock_;
    ProgressMeter meter_;
    TaskTexts task_;
    emscripten::val tell_;
    double last_ = 0;
};

}  // namespace taviro::web
