#include "core/xoshiro_source.h"

#include "core/clock_seed.h"

namespace taviro {

XoshiroSource::XoshiroSource() : generator_(NextClockSeed()) {}

std::uint64_t XoshiroSource::Reseed() {
    const std::uint64_t seed = NextClockSeed();
    generator_.Seed(seed);
    return seed;
}

void XoshiroSource::Fill(std::span<float> out) {
    for (float& value : out) value = generator_.NextFloat();
}

}  // namespace taviro
