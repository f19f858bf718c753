// The program's generator: eight xoshiro256+ streams (XoshiroLanes) from a given seed, reseeded
// from the clock at every start.
#pragma once

#include <array>
#include <cstdint>

#include "core/uniform_source.h"
#include "core/xoshiro.h"  // MixBits, with which callers derive seeds from one another
#include "core/xoshiro_lanes.h"

namespace taviro {

class XoshiroSource final : public UniformSource {
  public:
    XoshiroSource();  // seeded from the clock
    explicit XoshiroSource(std::uint64_t seed) : lanes_(seed) {}

    std::uint64_t Reseed() override;
    void Restart(std::uint64_t seed) override;
    void Fill(std::span<float> out) override;
    void FillDraws(std::span<std::int32_t> out) override;

  private:
    // Hands out the next values in the sequence whatever the lengths asked for: whole groups of
    // eight come straight from the lanes, the rest of a group waits in `spare_`.
    template <class T>
    void Take(std::span<T> out);

    XoshiroLanes lanes_;
    std::array<std::uint32_t, XoshiroLanes::kLanes> spare_{};  // 24-bit values not yet taken
    std::size_t spareNext_ = XoshiroLanes::kLanes;
};

}  // namespace taviro
