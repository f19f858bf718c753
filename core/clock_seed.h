// Seeds taken from the clock, or typed.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

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

// A typed seed: a whole number from 0 to 2^64 - 1 in decimal digits and nothing else.
std::optional<std::uint64_t> ReadSeed(std::string_view text);

}  // namespace taviro
