// Eight xoshiro256+ streams side by side, stepped together in the lanes of AVX2 registers where
// the processor has them and one after the other elsewhere, with the same values either way.
#pragma once

#include <cstddef>
#include <cstdint>

namespace taviro {

// Value 8t + L of the sequence is output t of stream L; each value is the top 24 bits k of an
// output, standing for k × 2^-24. Stream L is the xoshiro256+ generator seeded with
// seed + 4L × 0x9e3779b97f4a7c15 (Xoshiro256Plus): together the eight take the first 32 words of
// SplitMix64 from the seed, and stream 0 is the single generator of the same seed.
class XoshiroLanes {
  public:
    static constexpr std::size_t kLanes = 8;

    explicit XoshiroLanes(std::uint64_t seed) { Seed(seed); }

    void Seed(std::uint64_t seed);

    // The next `groups` × 8 values, as lottery numbers, as k × 2^-24 or as k.
    void Next(std::int32_t* draws, std::size_t groups);
    void Next(float* values, std::size_t groups);
    void Next(std::uint32_t* bits24, std::size_t groups);

  private:
    // Word w of every stream, in register order: the even streams 0, 2, 4, 6 in slots 0 to 3, the
    // odd ones in slots 4 to 7, so that one blend puts the eight values in sequence order.
    alignas(32) std::uint64_t s_[4][kLanes];
};

}  // namespace taviro
