#include "uniform_source.h"

#include <chrono>
#include <mutex>

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

std::uint64_t SeedSequence::Next(std::uint64_t clockNanoseconds) {
    std::uint64_t stamp = clockNanoseconds;
    if (started_ && stamp <= last_) stamp = last_ + 1;
    started_ = true;
    last_ = stamp;
    return MixBits(stamp);
}

namespace {

std::uint64_t NextClockSeed() {
    static std::mutex mutex;
    static SeedSequence sequence;
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch();
    const auto nanoseconds = static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
    const std::lock_guard lock(mutex);
    return sequence.Next(nanoseconds);
}

}  // namespace

ClockSeededSource::ClockSeededSource() : generator_(NextClockSeed()) {}

void ClockSeededSource::Reseed() {
    generator_.Seed(NextClockSeed());
}

void ClockSeededSource::Fill(std::span<float> out) {
    for (float& value : out) value = generator_.NextFloat();
}

}  // namespace taviro
