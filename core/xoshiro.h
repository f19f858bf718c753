// xoshiro256+ and the bit mixer that seeds it.
#pragma once

#include <cstdint>

namespace taviro {

// SplitMix64's finaliser: a bijection that spreads nearby inputs over the whole range.
std::uint64_t MixBits(std::uint64_t x);

// xoshiro256+ with the top 24 bits of each output scaled to [0, 1): every value is a multiple of
// 2^-24 below 1, so 1.0 never comes out.
class Xoshiro256Plus {
  public:
    explicit Xoshiro256Plus(std::uint64_t seed) { Seed(seed); }

    void Seed(std::uint64_t seed);

    std::uint64_t NextBits() {
        const std::uint64_t result = s_[0] + s_[3];
        const std::uint64_t t = s_[1] << 17;
        s_[2] ^= s_[0];
        s_[3] ^= s_[1];
        s_[1] ^= s_[2];
        s_[0] ^= s_[3];
        s_[2] ^= t;
        s_[3] = (s_[3] << 45) | (s_[3] >> 19);
        return result;
    }

    float NextFloat() { return static_cast<float>(NextBits() >> 40) * 0x1p-24f; }

  private:
    std::uint64_t s_[4];
};

}  // namespace taviro
