// Clears what the window's libraries may leave in the vector registers before a thread computes.
// Some of their code leaves the upper halves of the 256-bit registers in use, and a thread starts
// with its creator's registers; until they are cleared, every SSE instruction the thread runs (the
// C library's exp and log among them) waits on them, many times slower.
#pragma once

namespace taviro {

// Call on the computing thread before its work; does nothing where there is nothing to clear.
void ClearVectorState();

}  // namespace taviro
