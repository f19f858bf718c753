// What two runs left in their states, for comparing them.
#pragma once

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "core/simulation_state.h"

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
    std::vector<std::uint8_t> codes;
    for (std::size_t k = 0; k < s.GameLog.size(); ++k) codes.push_back(s.GameLog.Code(k));
    return codes;
}

// The first of the fields a run leaves, the history included, in which two runs differ; empty
// when they leave the same.
inline std::string RunDifference(const SimulationState& a, const SimulationState& b) {
    if (RunFields(a) != RunFields(b)) return "counters, held bonuses or results";
    if (a.MinBalance != b.MinBalance) return "the lowest balance";
    if (a.Balance.size() != b.Balance.size()) return "the history's length";
    const std::vector<std::uint8_t> codesA = EventCodes(a), codesB = EventCodes(b);
    for (std::size_t k = 0; k < a.Balance.size(); ++k) {
        if (a.Balance[k] != b.Balance[k]) return "the balance of game " + std::to_string(k);
        if (k < codesA.size() && (k >= codesB.size() || codesA[k] != codesB[k])) {
            return "the events of game " + std::to_string(k);
        }
    }
    return codesA.size() == codesB.size() ? std::string() : "the event log's length";
}

}  // namespace taviro::test_support
