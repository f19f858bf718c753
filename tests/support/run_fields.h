// What two runs left in their states, for comparing them.
#pragma once

#include <cstdint>
#include <string>
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

// The first of the fields a run leaves, the history included, in which two runs differ; empty
// when they leave the same.
inline std::string RunDifference(const SimulationState& a, const SimulationState& b) {
    if (RunFields(a) != RunFields(b)) return "counters, held bonuses or results";
    if (a.MinBalance != b.MinBalance) return "the lowest balance";
    const HistoryValues valuesA = ValuesOf(a.History), valuesB = ValuesOf(b.History);
    if (valuesA.balances.size() != valuesB.balances.size()) return "the history's length";
    for (std::size_t k = 0; k < valuesA.balances.size(); ++k) {
        if (valuesA.balances[k] != valuesB.balances[k]) {
            return "the balance of game " + std::to_string(k);
        }
        if (valuesA.codes[k] != valuesB.codes[k]) return "the events of game " + std::to_string(k);
    }
    return std::string();
}

}  // namespace taviro::test_support
