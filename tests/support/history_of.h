// Histories for tests: one holding given balances and event bytes, and every balance and event
// byte a history holds.
#pragma once

#include <cstdint>
#include <vector>

#include "core/game_history.h"

namespace taviro::test_support {

// Games 0 (balance 0) to balances.size() - 1 with these balances and event bytes (none: no
// events), recorded as a run with `coins` would record them.
inline GameHistory HistoryOf(const std::vector<double>& balances,
                             const std::vector<std::uint8_t>& codes = {},
                             const GameHistory::Coins& coins = {}) {
    GameHistory history;
    history.Reset(balances.size());
    history.Begin(coins);
    for (std::size_t k = 1; k < balances.size(); ++k) {
        history.AddGame(static_cast<std::int64_t>(k), balances[k], codes.empty() ? 0 : codes[k]);
    }
    return history;
}

// Every game's balance and event byte, read in one pass.
struct HistoryValues {
    std::vector<double> balances;
    std::vector<std::uint8_t> codes;
    bool operator==(const HistoryValues&) const = default;
};
inline HistoryValues ValuesOf(const GameHistory& history) {
    HistoryValues values;
    if (history.Empty()) return values;
    HistoryReader game(history, 0);
    while (true) {
        values.balances.push_back(game.Balance());
        values.codes.push_back(game.Code());
        if (game.Game() + 1 == static_cast<std::int64_t>(history.Size())) return values;
        game.Next();
    }
}

}  // namespace taviro::test_support
