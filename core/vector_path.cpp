#include "core/vector_path.h"

#include <atomic>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace taviro {

namespace {

bool ProcessorHasAvx2() {
#ifdef TAVIRO_HAS_AVX2_PATH
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

#if defined(__x86_64__)
__attribute__((target("avx"))) void ZeroUpperHalves() {
    _mm256_zeroupper();
}
#endif

std::atomic<bool>& Avx2Flag() {
    static std::atomic<bool> active{ProcessorHasAvx2()};
    return active;
}

}  // namespace

bool Avx2PathActive() {
    return Avx2Flag().load(std::memory_order_relaxed);
}

void ForcePortablePath(bool portable) {
    Avx2Flag().store(!portable && ProcessorHasAvx2(), std::memory_order_relaxed);
}

void ClearVectorState() {
#if defined(__x86_64__)
    if (__builtin_cpu_supports("avx")) ZeroUpperHalves();
#endif
}

}  // namespace taviro
