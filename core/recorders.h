// What a run keeps per game. The game loop keeps the running balance and its lowest value itself
// (in registers: previous balance plus the game's base, then plus the bonus paid, the same order
// for every recorder) and hands each game's balance and event byte to the recorder, which keeps as
// much as its edition needs. Games in which nothing happens come in runs: the recorder is told of
// them all at once (EndQuietGames), one that keeps the balances with the balance after them
// (QuietGames).
#pragma once

#include <cstdint>
#include <limits>
#include <span>
#include <stdexcept>
#include <vector>

#include "core/event_log.h"
#include "core/simulation_state.h"

namespace taviro {

// The light edition: nothing per game, and no balance at all.
struct NoHistory {
    static constexpr bool kKeepsBalance = false;
    void Begin() {}
    void EndGame(std::int64_t /*game*/, double /*balance*/, std::uint8_t /*code*/) {}
    void EndQuietGames(std::int64_t /*first*/, std::int64_t /*count*/) {}
    void End(std::int32_t /*games*/, double /*finalBalance*/, float /*lowest*/) {}
};

// The final and the lowest balance (in single precision), without any array.
class BalanceTracker {
  public:
    static constexpr bool kKeepsBalance = true;
    void Begin() {}
    void EndGame(std::int64_t /*game*/, double /*balance*/, std::uint8_t /*code*/) {}
    void EndQuietGames(std::int64_t /*first*/, std::int64_t /*count*/) {}
    void End(std::int32_t /*games*/, double finalBalance, float lowest) {
        final_ = finalBalance;
        lowest_ = lowest;
    }

    double Final() const { return final_; }
    float Lowest() const { return lowest_; }

  private:
    double final_ = 0;
    float lowest_ = 0;
};

// The balance after chosen games (ascending, from 1 on), besides the final and the lowest
// balance: the curves of many sessions at a few points each. Eventful games come to EndGame; the
// game loop fills in the balances of those inside a run of quiet games itself (WantedGames).
class CheckpointRecorder : public BalanceTracker {
  public:
    explicit CheckpointRecorder(std::span<const std::int64_t> games)
        : games_(games), balances_(games.size(), std::numeric_limits<double>::quiet_NaN()) {}

    void Begin() { next_ = 0; }
    void EndGame(std::int64_t game, double balance, std::uint8_t /*code*/) {
        if (next_ < games_.size() && game == games_[next_]) balances_[next_++] = balance;
    }
    // The games still wanted, and where their balances go.
    std::span<const std::int64_t> WantedGames() const { return games_.subspan(next_); }
    double* WantedBalances() { return balances_.data() + next_; }
    void SkipWanted(std::size_t count) { next_ += count; }

    // The balance after each chosen game; NaN for a game beyond the run.
    const std::vector<double>& Balances() const { return balances_; }

  private:
    std::span<const std::int64_t> games_;
    std::vector<double> balances_;
    std::size_t next_ = 0;
};

// The full edition: the history and the lowest balance (`MinBalance`) of the state.
class HistoryRecorder {
  public:
    static constexpr bool kKeepsBalance = true;
    // The history's blocks of games, which the loop's blocks of draws must fit in.
    static constexpr std::int64_t kBlockGames = GameHistory::kBlockGames;

    explicit HistoryRecorder(SimulationState& s) : state_(s), history_(s.History) {
        const std::size_t expected =
            s.GameCount < 0 ? 1 : static_cast<std::size_t>(s.GameCount) + 1;
        if (s.History.Size() != expected) {
            throw std::logic_error("history not allocated for this game count");
        }
    }

    void Begin() {
        history_.Begin(
            {state_.BaseN, state_.BaseAR, state_.OutREG, state_.OutNBIG, state_.OutHBIG});
    }
    void EndGame(std::int64_t game, double balance, std::uint8_t code) {
        history_.AddGame(game, balance, code);
    }
    void QuietGames(std::int64_t first, std::int64_t count, double last) {
        history_.AddQuietGames(first, count, last);
    }
    void EndQuietGames(std::int64_t /*first*/, std::int64_t /*count*/) {}  // told by QuietGames
    void End(std::int32_t games, double /*finalBalance*/, float lowest) {
        if (games >= 1) history_.MarkLastGame(event::kRunEnd);
        state_.MinBalance = lowest;
    }

  private:
    SimulationState& state_;
    GameHistory& history_;
};

}  // namespace taviro
