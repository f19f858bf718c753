// Seeds taken from the clock.
#pragma once

#include <cstdint>

namespace taviro {

// Clock readings turned into seeds: within one sequence no two seeds are ever equal, even when
// the clock does not advance between two readings.
class SeedSequence {
  public:
    std::uint64_t Next(std::uint64_t clockNanoseconds);

  private:
    std::uint64_t last_ = 0;
    bool started_ = false;
};

// A seed from the high-resolution clock, never the same twice within the process.
std::uint64_t NextClockSeed();

}  // namespace taviro
