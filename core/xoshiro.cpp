#include "core/xoshiro.h"

namespace taviro {

std::uint64_t MixBits(std::uint64_t x) {
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

void Xoshiro256Plus::Seed(std::uint64_t seed) {
    std::uint64_t x = seed;
    for (auto& word : s_) {
        x += 0x9e3779b97f4a7c15ULL;
        word = MixBits(x);
    }
}

}  // namespace taviro
