#include "core/parallel_tasks.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "core/vector_path.h"

namespace taviro {

bool RunTasks(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& task,
              RunControl* control) {
    std::atomic<std::size_t> next{0};
    // The first exception of any thread ends the others' work and is thrown here once all have
    // ended (an exception leaving a thread would end the program).
    std::exception_ptr failure;
    std::mutex failureMutex;
    std::atomic<bool> failed{false};
    auto work = [&] {
        ClearVectorState();
        try {
            for (;;) {
                if (failed.load(std::memory_order_relaxed)) return;
                if (control != nullptr && control->StopRequested()) return;
                const std::size_t index = next.fetch_add(1, std::memory_order_relaxed);
                if (index >= count) return;
                task(index);
            }
        } catch (...) {
            const std::lock_guard lock(failureMutex);
            if (!failure) failure = std::current_exception();
            failed.store(true, std::memory_order_relaxed);
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
    if (failure) std::rethrow_exception(failure);
    return control == nullptr || !control->StopRequested();
}

}  // namespace taviro
