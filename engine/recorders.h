// What a run keeps per game. The game loop reports each game's base coins, the coins of the
// bonus paid in it and its event byte; a recorder keeps as much of that as its edition needs.
// Balances are formed in the same order by every recorder: previous balance plus the game's base,
// then plus the bonus paid.
#pragma once

#include <cstdint>
#include <stdexcept>

#include "event_log.h"
#include "simulation_state.h"

namespace taviro {

// The light edition: nothing per game.
struct NoHistory {
    void Begin() {}
    void Game(double /*base*/) {}
    void Pay(double /*coins*/) {}
    void EndGame(std::int64_t /*game*/, std::uint8_t /*code*/) {}
    void End(std::int32_t /*games*/) {}
};

// The running balance and its lowest value (in single precision), without any array.
class BalanceTracker {
  public:
    void Begin() {
        previous_ = current_ = 0;
        lowest_ = 0;
    }
    void Game(double base) { current_ = previous_ + base; }
    void Pay(double coins) { current_ += coins; }
    void EndGame(std::int64_t /*game*/, std::uint8_t /*code*/) {
        const float single = static_cast<float>(current_);
        if (single < lowest_) lowest_ = single;
        previous_ = current_;
    }
    void End(std::int32_t /*games*/) {}

    double Final() const { return previous_; }
    float Lowest() const { return lowest_; }

  private:
    double previous_ = 0;
    double current_ = 0;
    float lowest_ = 0;
};

// The full edition: `Balance`, `GameLog` and `MinBalance` of the state.
class HistoryRecorder {
  public:
    explicit HistoryRecorder(SimulationState& s) : state_(s) {
        const std::size_t expected =
            s.GameCount < 0 ? 1 : static_cast<std::size_t>(s.GameCount) + 1;
        if (s.Balance.size() != expected || s.GameLog.size() != expected) {
            throw std::logic_error("history not allocated for this game count");
        }
        balance_ = s.Balance.data();
        codes_ = s.GameLog.data();
    }

    void Begin() {
        tracker_.Begin();
        balance_[0] = 0;
    }
    void Game(double base) { tracker_.Game(base); }
    void Pay(double coins) { tracker_.Pay(coins); }
    void EndGame(std::int64_t game, std::uint8_t code) {
        tracker_.EndGame(game, code);
        balance_[game] = tracker_.Final();
        codes_[game] = code;
    }
    void End(std::int32_t games) {
        if (games >= 1) codes_[games] |= event::kRunEnd;
        state_.MinBalance = tracker_.Lowest();
    }

  private:
    SimulationState& state_;
    double* balance_ = nullptr;
    std::uint8_t* codes_ = nullptr;
    BalanceTracker tracker_;
};

}  // namespace taviro
