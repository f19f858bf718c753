// The bonus stock queue: BIGs held in arrival order, slot 1 the head.
#pragma once

#include <algorithm>
#include <cstdint>

#include "core/event_log.h"
#include "core/simulation_state.h"

namespace taviro {

// Appends `kind` at `StockPos`. A queue that has reached slot 255 keeps `StockPos` at 255, so
// each further push replaces the newest entry.
inline void PushStock(SimulationState& s, std::int32_t kind) {
    s.Stock[s.StockPos] = kind;
    if (++s.StockPos > kStockSlots) s.StockPos = kStockSlots;
}

// Pays the head of the queue (slot 1 must hold a kind): counts it, starts its AR period if it
// carries one, and moves the other entries up by one. Returns the kind paid.
// Afterwards `StockPos` names the first empty slot, also when the queue was full.
inline std::int32_t ReleaseStock(SimulationState& s) {
    const std::int32_t kind = s.Stock[1];
    if (kind >= kNormalBig && kind <= kNormalBigAr1000) {
        ++s.CntNBIG;
    } else if (kind >= kHyperBig && kind <= kHyperBigAr1000) {
        ++s.CntHBIG;
    }
    if (kind == kNormalBigAr150 || kind == kHyperBigAr150) {
        s.ARLeft = event::kAr150Games;
        s.ARMode = 1;
    } else if (kind == kNormalBigAr1000 || kind == kHyperBigAr1000) {
        s.ARLeft = event::kAr1000Games;
        s.ARMode = 1;
    }
    // Slots from the first empty one on hold 0, so only the entries need to move.
    const std::int32_t entries = s.Stock[kStockSlots] != kEmpty ? kStockSlots : s.StockPos - 1;
    std::copy(s.Stock.begin() + 2, s.Stock.begin() + entries + 1, s.Stock.begin() + 1);
    s.Stock[entries] = kEmpty;
    s.StockPos = entries;
    return kind;
}

}  // namespace taviro
