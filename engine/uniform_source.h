// The uniform pseudo-random generator behind a small interface, so that tests can script the
// draws of a run.
#pragma once

#include <cstdint>
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

// SplitMix64's finaliser: a bijection that spreads nearby inputs over the whole range.
std::uint64_t MixBits(std::uint64_t x);

// Clock readings turned into seeds: within one process no two seeds are ever equal, even when
// the clock does not advance between two reseeds.
class SeedSequence {
  public:
    std::uint64_t Next(std::uint64_t clockNanoseconds);

  private:
    std::uint64_t last_ = 0;
    bool started_ = false;
};

// The program's generator: reseeded from a high-resolution clock at every start.
class ClockSeededSource final : public UniformSource {
  public:
    ClockSeededSource();
    explicit ClockSeededSource(std::uint64_t seed) : generator_(seed) {}

    void Reseed() override;
    void Fill(std::span<float> out) override;

  private:
    Xoshiro256Plus generator_;
};

}  // namespace taviro
