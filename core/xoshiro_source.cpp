#include "core/xoshiro_source.h"

#include <type_traits>

#include "core/clock_seed.h"

namespace taviro {

XoshiroSource::XoshiroSource() : lanes_(NextClockSeed()) {}

std::uint64_t XoshiroSource::Reseed() {
    const std::uint64_t seed = NextClockSeed();
    Restart(seed);
    return seed;
}

void XoshiroSource::Restart(std::uint64_t seed) {
    lanes_.Seed(seed);
    spareNext_ = spare_.size();
}

template <class T>
void XoshiroSource::Take(std::span<T> out) {
    auto fromSpare = [this]() -> T {
        const std::uint32_t k = spare_[spareNext_++];
        if constexpr (std::is_same_v<T, float>) {
            return static_cast<float>(k) * 0x1p-24f;
        } else {
            return DrawFrom24Bits(k);
        }
    };
    std::size_t i = 0;
    while (i < out.size() && spareNext_ < spare_.size()) out[i++] = fromSpare();
    const std::size_t groups = (out.size() - i) / XoshiroLanes::kLanes;
    lanes_.Next(out.data() + i, groups);
    i += groups * XoshiroLanes::kLanes;
    if (i < out.size()) {
        lanes_.Next(spare_.data(), 1);
        spareNext_ = 0;
        while (i < out.size()) out[i++] = fromSpare();
    }
}

void XoshiroSource::Fill(std::span<float> out) {
    Take(out);
}
void XoshiroSource::FillDraws(std::span<std::int32_t> out) {
    Take(out);
}

}  // namespace taviro
