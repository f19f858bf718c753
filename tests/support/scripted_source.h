// A uniform source that plays back chosen lottery numbers, for tests.
#pragma once

#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "core/simulation_state.h"
#include "core/uniform_source.h"

namespace taviro::test_support {

// The smallest generator value (a multiple of 2^-24) whose lottery number is `draw`.
inline float UniformForDraw(std::int32_t draw) {
    const double k = std::ceil((draw - 1) * 16777216.0 / LOTTERY_SPACE);
    return static_cast<float>(k * 0x1p-24);
}

// Yields the given draws in order, then `after` for every further game.
class ScriptedSource final : public UniformSource {
  public:
    explicit ScriptedSource(std::vector<std::int32_t> draws, std::int32_t after = LOTTERY_SPACE)
        : draws_(std::move(draws)), after_(UniformForDraw(after)) {}

    // A scripted sequence's "seed" is the position it starts from.
    std::uint64_t Reseed() override {
        ++reseeds;
        return next_;
    }
    void Restart(std::uint64_t seed) override { next_ = seed; }
    void Fill(std::span<float> out) override {
        for (float& value : out) {
            value = next_ < draws_.size() ? UniformForDraw(draws_[next_]) : after_;
            ++next_;
        }
    }

    int reseeds = 0;
    std::size_t Consumed() const { return next_; }

  private:
    std::vector<std::int32_t> draws_;
    float after_;
    std::size_t next_ = 0;
};

}  // namespace taviro::test_support
