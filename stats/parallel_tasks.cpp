#include "stats/parallel_tasks.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

namespace taviro::stats {

bool RunTasks(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& task,
              RunControl* control) {
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (;;) {
            if (control != nullptr && control->StopRequested()) return;
            const std::size_t index = next.fetch_add(1, std::memory_order_relaxed);
            if (index >= count) return;
            task(index);
        }
    };
    std::vector<std::thread> pool;
    const std::size_t helpers = std::min<std::size_t>(threads > 0 ? threads - 1 : 0, count);
    for (std::size_t t = 1; t < helpers + 1; ++t) {
        try {
            pool.emplace_back(work);
        } catch (const std::system_error&) {
            break;
        }
    }
    work();
    for (auto& thread : pool) thread.join();
    return control == nullptr || !control->StopRequested();
}

}  // namespace taviro::stats
