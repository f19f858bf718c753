#include "core/payout.h"

#include <cstdint>

namespace taviro {

void ComputePayout(SimulationState& s) {
    const double g = s.GameCount;
    const double normalGames = static_cast<double>(std::int64_t{s.GameCount} - s.CntARGames);
    const double e = s.CntHBIG / g * s.OutHBIG + s.CntNBIG / g * s.OutNBIG +
                     s.CntREG / g * s.OutREG + s.CntARGames / g * s.BaseAR +
                     normalGames / g * s.BaseN;
    s.Payout = e;
    // Written for every run, so that nothing downstream ever reads an earlier run's coins.
    s.VirtualOut = g * e;
    s.Payout = (e + 3) * 100 / 3;
}

}  // namespace taviro
