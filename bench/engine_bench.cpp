// Games per second of the lottery alone, the light run and the run with history, and the
// memory each needs.
#include <benchmark/benchmark.h>
#include <immintrin.h>
#include <sys/resource.h>

#include <array>
#include <string>
#include <vector>

#include "bench/played_run.h"
#include "core/game_loop.h"
#include "core/parameters.h"
#include "core/run_simulation.h"
#include "core/vector_path.h"
#include "core/xoshiro.h"
#include "core/xoshiro_source.h"

namespace {

using namespace taviro;

double PeakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss);
}

// The reference limit: draw a number per game from the default generator and classify it into
// the five regions of setting 1.
void BM_BareLottery(benchmark::State& state) {
    const SimulationState s = PreparedRun(0, false);
    XoshiroSource source(1);
    const std::int64_t games = state.range(0);
    std::array<float, 512> uniforms;
    std::array<std::int64_t, 5> regions{};
    for (auto _ : state) {
        for (std::int64_t first = 0; first < games; first += uniforms.size()) {
            const auto count = std::min<std::int64_t>(uniforms.size(), games - first);
            source.Fill(std::span<float>(uniforms.data(), count));
            for (std::int64_t j = 0; j < count; ++j) {
                const std::int32_t draw = DrawFromUniform(uniforms[j]);
                const int region = draw <= s.ThrBIG          ? 0
                                   : draw <= s.ThrBIG_AR150  ? 1
                                   : draw <= s.ThrBIG_AR1000 ? 2
                                   : draw <= s.ThrREG        ? 3
                                                             : 4;
                ++regions[region];
            }
        }
        benchmark::DoNotOptimize(regions);
    }
    state.SetItemsProcessed(state.iterations() * games);
}
BENCHMARK(BM_BareLottery)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// The anchor: the lottery alone in eight AVX2 lanes, as the generator makes it (the same seeds,
// 24-bit values and lottery numbers), each number counted into its region without leaving the
// registers. Counts at most: the number of draws up to each threshold, per lane.
struct LaneSums {
    std::array<std::int64_t, 4> atMost{};
};

__attribute__((target("avx2"))) LaneSums SimdLottery(std::uint64_t seed, std::int64_t groups,
                                                     const SimulationState& s) {
    alignas(32) std::uint64_t words[4][8];
    for (int lane = 0; lane < 8; ++lane) {  // even lanes in slots 0-3, odd lanes in 4-7
        const int slot = lane % 2 == 0 ? lane / 2 : 4 + lane / 2;
        for (int w = 0; w < 4; ++w) {
            words[w][slot] = MixBits(seed + static_cast<std::uint64_t>(4 * lane + w + 1) *
                                                0x9e3779b97f4a7c15ULL);
        }
    }
    const auto* v = reinterpret_cast<const __m256i*>(words);  // two registers per word
    __m256i a0 = _mm256_load_si256(v), a1 = _mm256_load_si256(v + 2);
    __m256i a2 = _mm256_load_si256(v + 4), a3 = _mm256_load_si256(v + 6);
    __m256i b0 = _mm256_load_si256(v + 1), b1 = _mm256_load_si256(v + 3);
    __m256i b2 = _mm256_load_si256(v + 5), b3 = _mm256_load_si256(v + 7);
    const __m256i highHalves = _mm256_set1_epi64x(0x00FFFFFF00000000LL);
    const __m256i t0 = _mm256_set1_epi32(s.ThrBIG + 1), t1 = _mm256_set1_epi32(s.ThrBIG_AR150 + 1);
    const __m256i t2 = _mm256_set1_epi32(s.ThrBIG_AR1000 + 1), t3 = _mm256_set1_epi32(s.ThrREG + 1);
    __m256i c0 = _mm256_setzero_si256(), c1 = c0, c2 = c0, c3 = c0;
#define TAVIRO_STEP(s0, s1, s2, s3)                                                 \
    {                                                                               \
        const __m256i t = _mm256_slli_epi64(s1, 17);                                \
        s2 = _mm256_xor_si256(s2, s0);                                              \
        s3 = _mm256_xor_si256(s3, s1);                                              \
        s1 = _mm256_xor_si256(s1, s2);                                              \
        s0 = _mm256_xor_si256(s0, s3);                                              \
        s2 = _mm256_xor_si256(s2, t);                                               \
        s3 = _mm256_or_si256(_mm256_slli_epi64(s3, 45), _mm256_srli_epi64(s3, 19)); \
    }
    for (std::int64_t g = 0; g < groups; ++g) {
        const __m256i even = _mm256_srli_epi64(_mm256_add_epi64(a0, a3), 40);
        const __m256i odd =
            _mm256_and_si256(_mm256_srli_epi64(_mm256_add_epi64(b0, b3), 8), highHalves);
        TAVIRO_STEP(a0, a1, a2, a3)
        TAVIRO_STEP(b0, b1, b2, b3)
        const __m256i k = _mm256_blend_epi32(even, odd, 0xAA);
        const __m256i draw =
            _mm256_add_epi32(_mm256_srli_epi32(_mm256_mullo_epi32(k, _mm256_set1_epi32(116)), 8),
                             _mm256_set1_epi32(1));
        // A compare gives -1 where the draw is at most the threshold.
        c0 = _mm256_sub_epi32(c0, _mm256_cmpgt_epi32(t0, draw));
        c1 = _mm256_sub_epi32(c1, _mm256_cmpgt_epi32(t1, draw));
        c2 = _mm256_sub_epi32(c2, _mm256_cmpgt_epi32(t2, draw));
        c3 = _mm256_sub_epi32(c3, _mm256_cmpgt_epi32(t3, draw));
    }
#undef TAVIRO_STEP
    LaneSums sums;
    alignas(32) std::int32_t lanes[8];
    const __m256i counts[4] = {c0, c1, c2, c3};
    for (int i = 0; i < 4; ++i) {
        _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), counts[i]);
        for (std::int32_t v : lanes) sums.atMost[static_cast<std::size_t>(i)] += v;
    }
    return sums;
}

void BM_SimdLottery(benchmark::State& state) {
    if (!Avx2PathActive()) {
        state.SkipWithError("no AVX2 on this processor");
        return;
    }
    const SimulationState s = PreparedRun(0, false);
    const std::int64_t games = state.range(0);
    // The same numbers as the generator's: count them from its draws once, a block at a time.
    XoshiroSource source(1);
    std::array<std::int32_t, 4096> draws;
    LaneSums expected;
    for (std::int64_t first = 0; first < games; first += draws.size()) {
        const auto count = std::min<std::int64_t>(draws.size(), games - first);
        source.FillDraws(std::span<std::int32_t>(draws.data(), count));
        for (std::int64_t j = 0; j < count; ++j) {
            expected.atMost[0] += draws[j] <= s.ThrBIG;
            expected.atMost[1] += draws[j] <= s.ThrBIG_AR150;
            expected.atMost[2] += draws[j] <= s.ThrBIG_AR1000;
            expected.atMost[3] += draws[j] <= s.ThrREG;
        }
    }
    if (SimdLottery(1, games / 8, s).atMost != expected.atMost) {
        state.SkipWithError("the lanes' numbers differ from the generator's");
        return;
    }
    std::uint64_t seed = 1;
    for (auto _ : state) {
        const LaneSums sums = SimdLottery(seed++, games / 8, s);
        // regions 0 to 4: plain BIG, BIG AR150, BIG AR1000, REG, nothing
        const std::array<std::int64_t, 5> regions = {
            sums.atMost[0], sums.atMost[1] - sums.atMost[0], sums.atMost[2] - sums.atMost[1],
            sums.atMost[3] - sums.atMost[2], games - sums.atMost[3]};
        benchmark::DoNotOptimize(regions);
    }
    state.SetItemsProcessed(state.iterations() * games);
}
BENCHMARK(BM_SimdLottery)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_LightRun(benchmark::State& state) {
    const std::int64_t games = state.range(0);
    XoshiroSource source(1);
    SimulationState s = PreparedRun(games, false);
    for (auto _ : state) {
        RunSimulation(s, source);
        benchmark::DoNotOptimize(s.Payout);
    }
    state.SetItemsProcessed(state.iterations() * games);
    state.counters["peak_rss_KiB"] = PeakResidentKiB();
}
BENCHMARK(BM_LightRun)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
// The largest count: memory must stay that of a short run.
BENCHMARK(BM_LightRun)->Arg(8000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LightRun)->Arg(2147483647)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_FullRun(benchmark::State& state) {
    const std::int64_t games = state.range(0);
    XoshiroSource source(1);
    SimulationState s = PreparedRun(games, true);
    for (auto _ : state) {
        RunSimulation(s, source);
        benchmark::DoNotOptimize(s.History);
    }
    state.SetItemsProcessed(state.iterations() * games);
    state.counters["history_bytes_per_game"] =
        static_cast<double>(s.History.Bytes()) / static_cast<double>(games + 1);
}
BENCHMARK(BM_FullRun)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// The history a 100000000-game run keeps at each setting, whose bonuses decide how many games
// have an event.
void BM_HistoryMemory(benchmark::State& state) {
    constexpr std::int64_t kGames = 100'000'000;
    ParameterTexts texts;
    texts.TexGAME = std::to_string(kGames);
    const PresetTexts preset = kSettingPresets[static_cast<std::size_t>(state.range(0) - 1)];
    texts.TexBIG = preset.big, texts.TexREG = preset.reg;
    SimulationState s = PreparedState(texts, true).value();
    XoshiroSource source(1);
    for (auto _ : state) RunSimulation(s, source);
    state.SetItemsProcessed(state.iterations() * kGames);
    state.counters["history_bytes_per_game"] =
        static_cast<double>(s.History.Bytes()) / static_cast<double>(kGames + 1);
    state.counters["history_MB"] = static_cast<double>(s.History.Bytes()) / 1e6;
}
BENCHMARK(BM_HistoryMemory)->DenseRange(1, 6)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
