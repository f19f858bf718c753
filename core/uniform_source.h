// The uniform pseudo-random values a run draws its lottery numbers from, behind a small interface
// so that tests can script the draws of a run.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

#include "core/lottery_draw.h"

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
    // Fills `out` with the lottery numbers (DrawFromUniform) of the next values, one value each.
    // A generator that can make the numbers directly overrides it.
    virtual void FillDraws(std::span<std::int32_t> out) {
        std::array<float, 64> values;
        while (!out.empty()) {
            const std::size_t count = std::min(out.size(), values.size());
            Fill(std::span<float>(values.data(), count));
            for (std::size_t i = 0; i < count; ++i) out[i] = DrawFromUniform(values[i]);
            out = out.subspan(count);
        }
    }

    float Next() {
        float value = 0;
        Fill({&value, 1});
        return value;
    }
};

}  // namespace taviro
