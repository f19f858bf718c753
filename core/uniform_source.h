// The uniform pseudo-random values a run draws its lottery numbers from, behind a small interface
// so that tests can script the draws of a run.
#pragma once

#include <cstdint>
#include <span>

namespace taviro {

class UniformSource {
  public:
    virtual ~UniformSource() = default;
    // Starts a new sequence from the clock and returns its seed.
    virtual std::uint64_t Reseed() = 0;
    // Starts the sequence of `seed` again from its beginning, so that a run can be replayed.
    virtual void Restart(std::uint64_t seed) = 0;
    // Fills `out` with the next values, each a single-precision number in [0, 1).
    virtual void Fill(std::span<float> out) = 0;

    float Next() {
        float value = 0;
        Fill({&value, 1});
        return value;
    }
};

}  // namespace taviro
