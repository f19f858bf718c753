// What two runs left in their states, for comparing them.
#pragma once

#include <cstdint>
#include <tuple>
#include <vector>

#include "core/simulation_state.h"
#include "support/history_of.h"

namespace taviro::test_support {

// Everything a run leaves in the state apart from the history.
inline auto RunFields(const SimulationState& s) {
    return std::tuple(s.VirtualOut, s.ThrBIG, s.ThrBIG_AR150, s.ThrBIG_AR1000, s.WeightBIG,
                      s.ThrREG, s.ARMode, s.ARLeft, s.Stock, s.RegStock, s.GameCount, s.Draw,
                      s.GameNo, s.StockPos, s.CntAR150, s.CntAR1000, s.CntNBIG, s.CntHBIG, s.CntREG,
                      s.CntARGames, s.LsBIG, s.LsAR150, s.LsAR1000, s.Payout, s.BaseN);
}

// The event byte of every game of the history.
inline std::vector<std::uint8_t> EventCodes(const SimulationState& s) {
    return ValuesOf(s.History).codes;
}

// Every field a run leaves, the history included.
inline bool SameRunAndHistory(const SimulationState& a, const SimulationState& b) {
    return RunFields(a) == RunFields(b) && a.MinBalance == b.MinBalance &&
           ValuesOf(a.History) == ValuesOf(b.History);
}

}  // namespace taviro::test_support
