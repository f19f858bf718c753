// The lottery number of one generator value.
#pragma once

#include <cstdint>

#include "core/simulation_state.h"

namespace taviro {

// The lottery number of a uniform value r in [0, 1): Floor(r × 7602176 + 1), 1 to 7602176.
// The sum is at least 1, so truncation is the floor.
inline std::int32_t DrawFromUniform(float r) {
    return static_cast<std::int32_t>(static_cast<double>(r) * LOTTERY_SPACE + 1.0);
}

// The lottery number of the generator value k × 2^-24, for k in 0 to 2^24 - 1, in 32-bit integers.
// With 7602176 = 116 × 2^16, r × 7602176 is k × 116 / 2^8: below 2^23 with 8 fraction bits, so
// the double product and the sum with 1 are exact and the floor is (k × 116) >> 8. k × 116 stays
// below 2^31.
inline std::int32_t DrawFrom24Bits(std::uint32_t k) {
    return static_cast<std::int32_t>((k * 116) >> 8) + 1;
}

}  // namespace taviro
