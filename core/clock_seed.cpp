#include "core/clock_seed.h"

#include <charconv>
#include <chrono>
#include <mutex>

#include "core/xoshiro.h"

namespace taviro {

std::uint64_t SeedSequence::Next(std::uint64_t clockNanoseconds) {
    std::uint64_t stamp = clockNanoseconds;
    if (started_ && stamp <= last_) stamp = last_ + 1;
    started_ = true;
    last_ = stamp;
    return MixBits(stamp);
}

std::uint64_t NextClockSeed() {
    static std::mutex mutex;
    static SeedSequence sequence;
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch();
    const auto nanoseconds = static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
    const std::lock_guard lock(mutex);
    return sequence.Next(nanoseconds);
}

std::optional<std::uint64_t> ReadSeed(std::string_view text) {
    std::uint64_t seed = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, seed);
    if (error != std::errc() || ptr != end) return std::nullopt;
    return seed;
}

}  // namespace taviro
