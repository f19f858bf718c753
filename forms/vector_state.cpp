#include "forms/vector_state.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace taviro {

namespace {

#if defined(__x86_64__)
__attribute__((target("avx"))) void ZeroUpperHalves() {
    _mm256_zeroupper();
}
#endif

}  // namespace

void ClearVectorState() {
#if defined(__x86_64__)
    if (__builtin_cpu_supports("avx")) ZeroUpperHalves();
#endif
}

}  // namespace taviro
