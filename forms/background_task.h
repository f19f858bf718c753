// Runs a long task on a worker thread while the program stays responsive: its windows keep
// painting but take no input (keys and clicks are dropped, not queued), and from half a second on
// a progress dialog modal to the window that started the task shows how far it got.
#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>

#include "core/progress_figures.h"
#include "core/run_control.h"

namespace taviro {

enum class TaskEnd {
    Finished,     // the task ran to its end
    Cancelled,    // the user cancelled it, and it stopped
    Interrupted,  // the program is ending: the task was stopped
};

// Runs `work` on a worker thread and returns when it has ended. `work` publishes its count done
// (out of `total`) through the control and returns false when it stopped on request. An exception
// thrown by `work` is thrown again here.
TaskEnd RunInBackground(QWidget& owner, const TaskTexts& task, std::int64_t total,
                        const Clock& clock, const std::function<bool(RunControl&)>& work);

}  // namespace taviro
