// The uniform pseudo-random values a run draws its lottery numbers from, behind a small interface
// so that tests can script the draws of a run.
#pragma once

#include <span>

namespace taviro {

class UniformSource {
  public:
    virtual ~UniformSource() = default;
    // Starts a new sequence from the clock.
    virtual void Reseed() = 0;
    // Fills `out` with the next values, each a single-precision number in [0, 1).
    virtual void Fill(std::span<float> out) = 0;

    float Next() {
        float value = 0;
        Fill({&value, 1});
        return value;
    }
};

}  // namespace taviro
