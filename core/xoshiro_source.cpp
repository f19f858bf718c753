#include "core/xoshiro_source.h"

#include "core/clock_seed.h"

namespace taviro {

XoshiroSource::XoshiroSource() : generator_(NextClockSeed()) {}

void XoshiroSource::Reseed() {
    generator_.Seed(NextClockSeed());
}

void XoshiroSource::Fill(std::span<float> out) {
    for (float& value : out) value = generator_.NextFloat();
}

}  // namespace taviro
