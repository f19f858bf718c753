// The program's generator: xoshiro256+ from a given seed, reseeded from the clock at every start.
#pragma once

#include <cstdint>

#include "core/uniform_source.h"
#include "core/xoshiro.h"

namespace taviro {

class XoshiroSource final : public UniformSource {
  public:
    XoshiroSource();  // seeded from the clock
    explicit XoshiroSource(std::uint64_t seed) : generator_(seed) {}

    std::uint64_t Reseed() override;
    void Restart(std::uint64_t seed) override { generator_.Seed(seed); }
    void Fill(std::span<float> out) override;

  private:
    Xoshiro256Plus generator_;
};

}  // namespace taviro
