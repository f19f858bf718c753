#include "core/xoshiro_lanes.h"

#include <type_traits>

#include "core/lottery_draw.h"
#include "core/vector_path.h"
#include "core/xoshiro.h"

#ifdef TAVIRO_HAS_AVX2_PATH
#include <immintrin.h>
#endif

namespace taviro {

namespace {

constexpr std::uint64_t kGolden = 0x9e3779b97f4a7c15ULL;

constexpr std::size_t SlotOfLane(std::size_t lane) {
    return lane % 2 == 0 ? lane / 2 : 4 + lane / 2;
}

template <class T>
T FromBits24(std::uint32_t k) {
    if constexpr (std::is_same_v<T, std::int32_t>) {
        return DrawFrom24Bits(k);
    } else if constexpr (std::is_same_v<T, float>) {
        return static_cast<float>(k) * 0x1p-24f;
    } else {
        return k;
    }
}

using State = std::uint64_t[4][XoshiroLanes::kLanes];

template <class T>
void NextPortable(State& s, T* out, std::size_t groups) {
    for (std::size_t g = 0; g < groups; ++g, out += XoshiroLanes::kLanes) {
        for (std::size_t lane = 0; lane < XoshiroLanes::kLanes; ++lane) {
            const std::size_t i = SlotOfLane(lane);
            const std::uint64_t result = s[0][i] + s[3][i];
            const std::uint64_t t = s[1][i] << 17;
            s[2][i] ^= s[0][i];
            s[3][i] ^= s[1][i];
            s[1][i] ^= s[2][i];
            s[0][i] ^= s[3][i];
            s[2][i] ^= t;
            s[3][i] = (s[3][i] << 45) | (s[3][i] >> 19);
            out[lane] = FromBits24<T>(static_cast<std::uint32_t>(result >> 40));
        }
    }
}

#ifdef TAVIRO_HAS_AVX2_PATH

__attribute__((target("avx2"))) inline void StepAvx2(__m256i& s0, __m256i& s1, __m256i& s2,
                                                     __m256i& s3) {
    const __m256i t = _mm256_slli_epi64(s1, 17);
    s2 = _mm256_xor_si256(s2, s0);
    s3 = _mm256_xor_si256(s3, s1);
    s1 = _mm256_xor_si256(s1, s2);
    s0 = _mm256_xor_si256(s0, s3);
    s2 = _mm256_xor_si256(s2, t);
    s3 = _mm256_or_si256(_mm256_slli_epi64(s3, 45), _mm256_srli_epi64(s3, 19));
}

// Word `word` of the even streams (half 0) or the odd ones (half 1).
__attribute__((target("avx2"))) inline __m256i Load(const State& s, int word, int half) {
    return _mm256_load_si256(reinterpret_cast<const __m256i*>(&s[word][4 * half]));
}
__attribute__((target("avx2"))) inline void Store(State& s, int word, int half, __m256i v) {
    _mm256_store_si256(reinterpret_cast<__m256i*>(&s[word][4 * half]), v);
}

template <class T>
__attribute__((target("avx2"))) void NextAvx2(State& s, T* out, std::size_t groups) {
    __m256i a0 = Load(s, 0, 0), a1 = Load(s, 1, 0), a2 = Load(s, 2, 0), a3 = Load(s, 3, 0);
    __m256i b0 = Load(s, 0, 1), b1 = Load(s, 1, 1), b2 = Load(s, 2, 1), b3 = Load(s, 3, 1);
    const __m256i highHalves = _mm256_set1_epi64x(0x00FFFFFF00000000LL);
    for (std::size_t g = 0; g < groups; ++g, out += XoshiroLanes::kLanes) {
        const __m256i even = _mm256_srli_epi64(_mm256_add_epi64(a0, a3), 40);
        const __m256i odd =
            _mm256_and_si256(_mm256_srli_epi64(_mm256_add_epi64(b0, b3), 8), highHalves);
        StepAvx2(a0, a1, a2, a3);
        StepAvx2(b0, b1, b2, b3);
        const __m256i k = _mm256_blend_epi32(even, odd, 0xAA);
        if constexpr (std::is_same_v<T, std::int32_t>) {
            const __m256i draws = _mm256_add_epi32(
                _mm256_srli_epi32(_mm256_mullo_epi32(k, _mm256_set1_epi32(116)), 8),
                _mm256_set1_epi32(1));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), draws);
        } else if constexpr (std::is_same_v<T, float>) {
            _mm256_storeu_ps(out, _mm256_mul_ps(_mm256_cvtepi32_ps(k), _mm256_set1_ps(0x1p-24f)));
        } else {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), k);
        }
    }
    Store(s, 0, 0, a0), Store(s, 1, 0, a1), Store(s, 2, 0, a2), Store(s, 3, 0, a3);
    Store(s, 0, 1, b0), Store(s, 1, 1, b1), Store(s, 2, 1, b2), Store(s, 3, 1, b3);
}

#endif

template <class T>
void NextValues(State& s, T* out, std::size_t groups) {
#ifdef TAVIRO_HAS_AVX2_PATH
    if (Avx2PathActive()) return NextAvx2(s, out, groups);
#endif
    NextPortable(s, out, groups);
}

}  // namespace

void XoshiroLanes::Seed(std::uint64_t seed) {
    for (std::size_t lane = 0; lane < kLanes; ++lane) {
        for (std::size_t word = 0; word < 4; ++word) {
            s_[word][SlotOfLane(lane)] = MixBits(seed + (4 * lane + word + 1) * kGolden);
        }
    }
}

void XoshiroLanes::Next(std::int32_t* draws, std::size_t groups) {
    NextValues(s_, draws, groups);
}
void XoshiroLanes::Next(float* values, std::size_t groups) {
    NextValues(s_, values, groups);
}
void XoshiroLanes::Next(std::uint32_t* bits24, std::size_t groups) {
    NextValues(s_, bits24, groups);
}

}  // namespace taviro
