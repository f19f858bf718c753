// Which code path the generator and the game loop's scans take: the AVX2 one where the processor
// has AVX2, the portable one elsewhere. Both give the same values; tests switch the vector path
// off to run the portable one on any machine.
#pragma once

// Defined where the compiler can build the AVX2 path (x86 processors).
#if defined(__x86_64__) || defined(__i386__)
#define TAVIRO_HAS_AVX2_PATH 1
#endif

namespace taviro {

// Whether the AVX2 path runs: the processor has AVX2 and the path is not switched off.
bool Avx2PathActive();

// Switches the AVX2 path off (true) or back to what the processor allows (false). Call it only
// while no run is in progress.
void ForcePortablePath(bool portable);

// Clears the upper halves of the 256-bit registers, which code of the program's libraries may
// leave in use (a window's, for one) and which a thread takes over from the thread that started
// it: until they are cleared, every SSE instruction of the thread (the C library's exp and log
// among them) waits on them, many times slower. Work that several threads share calls it at the
// start of each thread's part; it does nothing where there is nothing to clear.
void ClearVectorState();

}  // namespace taviro
