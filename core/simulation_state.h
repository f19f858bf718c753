// The one record of all engine variables. The main window owns one for the life of the program;
// after a run it keeps its values until the next start.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/game_history.h"

namespace taviro {

// The number of equally likely draws of one game: 116 × 65536.
inline constexpr std::int32_t LOTTERY_SPACE = 7602176;

// The kinds of BIG held in the stock queue; 0 marks an empty slot.
enum StockKind : std::int32_t {
    kEmpty = 0,
    kNormalBig = 1,
    kNormalBigAr150 = 2,
    kNormalBigAr1000 = 3,
    kHyperBig = 4,
    kHyperBigAr150 = 5,
    kHyperBigAr1000 = 6,
};

inline constexpr std::int32_t kStockSlots = 255;  // slots 1 to 255; slot 0 is never used

struct SimulationState {
    // Whether runs keep the per-game history (`History`, `MinBalance`). The full edition sets it;
    // the light edition never allocates, writes or reads those fields.
    bool KeepsHistory = false;

    double VirtualOut = 0;
    // The per-game history, games 0 to GameCount: the net coins after each game and the event
    // text of each game, kept compactly (see game_history.h).
    GameHistory History;
    std::string DataFileName;
    std::int32_t Answer = 0;
    float MinBalance = 0;
    std::int32_t ThrBIG = 0;
    std::int32_t ThrBIG_AR150 = 0;
    std::int32_t ThrBIG_AR1000 = 0;
    std::int32_t WeightBIG = 0;
    std::int32_t ThrREG = 0;
    std::int32_t ARMode = 0;
    std::int32_t ARLeft = 0;
    std::array<std::int32_t, kStockSlots + 1> Stock{};
    std::int32_t RegStock = 0;
    std::int32_t GameCount = 0;
    std::int32_t Draw = 0;
    std::int32_t GameNo = 0;
    std::int32_t StockPos = 0;
    std::int32_t GraphY0 = 0;
    std::int32_t GraphX0 = 0;
    std::int32_t GraphYDiv = 0;
    std::int32_t CntAR150 = 0;
    std::int32_t CntAR1000 = 0;
    std::int32_t CntNBIG = 0;
    std::int32_t CntHBIG = 0;
    std::int32_t CntREG = 0;
    std::int32_t CntARGames = 0;
    std::int32_t LsBIG = 0;
    std::int32_t LsAR150 = 0;
    std::int32_t LsAR1000 = 0;
    double OutNBIG = 0;
    double OutHBIG = 0;
    double OutREG = 0;
    double Payout = 0;
    double BaseAR = 0;
    double BaseN = 0;
};

}  // namespace taviro
