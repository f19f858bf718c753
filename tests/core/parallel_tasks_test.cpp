#include "core/parallel_tasks.h"

#include <gtest/gtest.h>

#include <new>

namespace taviro {
namespace {

TEST(ParallelTasks, AnExceptionOfAnyThreadIsThrownOnceAllHaveEnded) {
    // Thrown on a helper thread, it would end the program.
    EXPECT_THROW(RunTasks(
                     64, 4,
                     [](std::size_t task) {
                         if (task % 7 == 5) throw std::bad_alloc();
                     },
                     nullptr),
                 std::bad_alloc);
}

}  // namespace
}  // namespace taviro
