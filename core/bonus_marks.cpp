#include "core/bonus_marks.h"

#include "core/vector_path.h"

#ifdef TAVIRO_HAS_AVX2_PATH
#include <immintrin.h>
#endif

namespace taviro {

namespace {

// Marks draws[from] to draws[end - 1], at most 64 of them, into one word.
std::uint64_t MarkPortable(const std::int32_t* draws, std::size_t from, std::size_t end,
                           std::int32_t threshold) {
    std::uint64_t bits = 0;
    for (std::size_t j = from; j < end; ++j) {
        bits |= static_cast<std::uint64_t>(draws[j] <= threshold) << (j - from);
    }
    return bits;
}

#ifdef TAVIRO_HAS_AVX2_PATH

__attribute__((target("avx2"))) inline __m256i Above8(const std::int32_t* draws,
                                                      __m256i threshold) {
    return _mm256_cmpgt_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(draws)),
                              threshold);
}

// One bit for each of the 32 draws from `draws`, set where the draw is above the threshold: the
// compare results are packed to bytes and put back in order before the byte mask is taken.
__attribute__((target("avx2"))) inline std::uint32_t AboveAvx2(const std::int32_t* draws,
                                                               __m256i threshold) {
    const __m256i packed = _mm256_packs_epi16(
        _mm256_packs_epi32(Above8(draws, threshold), Above8(draws + 8, threshold)),
        _mm256_packs_epi32(Above8(draws + 16, threshold), Above8(draws + 24, threshold)));
    const __m256i ordered =
        _mm256_permutevar8x32_epi32(packed, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(ordered));
}

__attribute__((target("avx2"))) void MarkAvx2(std::span<const std::int32_t> draws,
                                              std::int32_t threshold, std::uint64_t* marks) {
    const __m256i limit = _mm256_set1_epi32(threshold);
    const std::size_t whole = draws.size() / 64;
    for (std::size_t w = 0; w < whole; ++w) {
        const std::int32_t* block = draws.data() + 64 * w;
        const std::uint64_t above = AboveAvx2(block, limit) |
                                    static_cast<std::uint64_t>(AboveAvx2(block + 32, limit)) << 32;
        marks[w] = ~above;
    }
    if (whole * 64 < draws.size()) {
        marks[whole] = MarkPortable(draws.data(), whole * 64, draws.size(), threshold);
    }
}

#endif

}  // namespace

void MarkDrawsAtOrBelow(std::span<const std::int32_t> draws, std::int32_t threshold,
                        std::uint64_t* marks) {
#ifdef TAVIRO_HAS_AVX2_PATH
    if (Avx2PathActive()) return MarkAvx2(draws, threshold, marks);
#endif
    for (std::size_t from = 0; from < draws.size(); from += 64) {
        marks[from / 64] =
            MarkPortable(draws.data(), from, std::min(draws.size(), from + 64), threshold);
    }
}

}  // namespace taviro
