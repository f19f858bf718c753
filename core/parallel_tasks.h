// Numbered tasks shared by several threads. Each task writes only its own result, and the caller
// combines the results in task order, so the outcome does not depend on the number of threads or
// on which thread ran what.
#pragma once

#include <cstddef>
#include <functional>

#include "core/run_control.h"

namespace taviro {

// Runs tasks 0 to count - 1 on up to `threads` threads (the calling one included; threads the
// system refuses are done without). Between tasks it looks at `control`: once a stop is
// requested, no further task starts and the result is false. An exception of a task ends the
// others' work and is thrown again once every thread has ended.
bool RunTasks(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& task,
              RunControl* control);

}  // namespace taviro
