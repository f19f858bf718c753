// The games of a block whose lottery number falls in a bonus region, one bit per game, found with
// vector compares; the game loop plays the games between two marks in bulk.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <span>

namespace taviro {

// Sets bit j % 64 of marks[j / 64] for exactly the j whose draws[j] is at most `threshold`, and
// clears the other bits of the (draws.size() + 63) / 64 words.
void MarkDrawsAtOrBelow(std::span<const std::int32_t> draws, std::int32_t threshold,
                        std::uint64_t* marks);

// The first marked game from `from` on, or `end` when none is marked before it; `from` < `end`,
// and no bit at `end` or beyond is set.
inline std::int64_t NextMarked(const std::uint64_t* marks, std::int64_t from, std::int64_t end) {
    std::int64_t word = from / 64;
    std::uint64_t bits = marks[word] & (~std::uint64_t{0} << (from % 64));
    while (bits == 0) {
        if (++word * 64 >= end) return end;
        bits = marks[word];
    }
    return std::min(end, word * 64 + std::countr_zero(bits));
}

}  // namespace taviro
