// A clock that stands still until the test moves it.
#pragma once

#include <atomic>

#include "core/progress_figures.h"

namespace taviro::test_support {

class FakeClock final : public Clock {
  public:
    double Seconds() const override { return seconds_.load(); }
    void Advance(double seconds) { seconds_.store(seconds_.load() + seconds); }

  private:
    std::atomic<double> seconds_{100.0};
};

}  // namespace taviro::test_support
