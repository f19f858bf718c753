// The machine followed from one bonus draw to the next. A game with a draw is played as the game
// loop plays it; a stretch of games without a draw is played at once (an AR counted down, the
// held bonuses paid one per game, quiet normal games added up) instead of game by game. The
// estimator uses it where it needs many sessions' ends or continuations; tests hold it to the
// game loop, draw for draw.
#pragma once

#include <algorithm>
#include <array>
#include <compare>
#include <cstdint>
#include <vector>

#include "core/simulation_state.h"
#include "estimation/setting_odds.h"

namespace taviro::stats {

// What the machine holds between two games.
struct MachineState {
    bool operator==(const MachineState&) const = default;
    // Spelled out (not auto) so that the queue is compared through its operator<, which every
    // standard library has.
    std::strong_ordering operator<=>(const MachineState&) const = default;

    std::int32_t arLeft = 0;          // AR games still to play; 0 in normal play
    std::int32_t regStock = 0;        // REGs waiting
    std::vector<std::uint8_t> queue;  // BIGs waiting, oldest first (StockKind 1 to 6)

    bool HoldsNothing() const { return regStock == 0 && queue.empty(); }
};

// kMoney: whether the balance and its lowest point are kept (the counters always are).
template <bool kMoney>
class BasicBonusMachine {
  public:
    explicit BasicBonusMachine(const Coins& coins = {}) : coins_(coins) {}

    // Normal play, nothing held, counters and balance at 0.
    void Reset() {
        Restore({});
        ClearCounters();
    }
    void ClearCounters() {
        normalBigs = hyperBigs = regs = arGames = 0;
        balance = 0;
        lowest = 0;
    }

    MachineState State() const {
        MachineState s{arLeft_, regStock_, {}};
        s.queue.reserve(static_cast<std::size_t>(size_));
        for (int i = 0; i < size_; ++i) s.queue.push_back(queue_[Slot(i)]);
        return s;
    }
    void Restore(const MachineState& s) {
        arLeft_ = s.arLeft;
        arLength_ = s.arLeft;
        regStock_ = s.regStock;
        head_ = 0;
        size_ = 0;
        for (std::uint8_t kind : s.queue) Push(kind);
    }

    std::int32_t ArLeft() const { return arLeft_; }
    // Games of the AR under way played so far (0 in normal play or when it starts next game).
    std::int32_t ArPlayed() const { return arLeft_ > 0 ? arLength_ - arLeft_ : 0; }
    std::int32_t RegStock() const { return regStock_; }
    std::int32_t BigsHeld() const { return size_; }

    // One game whose draw brought `drawn`.
    void Play(Drawn drawn) {
        if (drawn == Drawn::Reg) {
            ++regStock_;
        } else {
            const int kind = static_cast<int>(drawn) + (arLeft_ > 0 ? kHyperBig : kNormalBig);
            Push(static_cast<std::uint8_t>(kind));
        }
        if (arLeft_ > 0) {
            --arLeft_;
            ++arGames;
            Add(coins_.arBase);
        } else {
            Add(coins_.normalBase);
            PayOne();
        }
        NoteLowest();
    }

    // Up to `games` games without a draw, stopping after the first that pays a bonus; returns
    // the games played.
    std::int64_t Quiet(std::int64_t games) {
        if (games <= 0) return 0;
        std::int64_t played = 1;
        if (arLeft_ > 0) {
            played = std::min<std::int64_t>(games, arLeft_);
            arLeft_ -= static_cast<std::int32_t>(played);
            arGames += played;
            Add(static_cast<double>(played) * coins_.arBase);
        } else if (regStock_ > 0 || size_ > 0) {
            Add(coins_.normalBase);
            PayOne();
        } else {
            played = games;
            Add(static_cast<double>(played) * coins_.normalBase);
        }
        // Within a stretch the balance moves one way, so its lowest point is at an end.
        NoteLowest();
        return played;
    }

    // `games` games without a draw.
    void Idle(std::int64_t games) {
        while (games > 0) games -= Quiet(games);
    }

    // Counted since the last Reset or ClearCounters.
    std::int64_t normalBigs = 0, hyperBigs = 0, regs = 0, arGames = 0;
    double balance = 0;  // kept when kMoney
    float lowest = 0;    // in single precision, as the money summary takes it; never above 0

  private:
    static constexpr int kCapacity = 256;  // ring buffer; at most kStockSlots entries
    // The AR games a paid BIG of each kind brings, by StockKind.
    static constexpr std::array<std::int32_t, 7> kArGames = {0, 0, 150, 1000, 0, 150, 1000};

    void Add(double coins) {
        if constexpr (kMoney) balance += coins;
    }
    void NoteLowest() {
        if constexpr (kMoney) lowest = std::min(lowest, static_cast<float>(balance));
    }

    int Slot(int i) const { return (head_ + i) & (kCapacity - 1); }

    // A full queue keeps its length and replaces its newest entry, as the stock queue does.
    void Push(std::uint8_t kind) {
        if (size_ == kStockSlots) {
            queue_[Slot(size_ - 1)] = kind;
        } else {
            queue_[Slot(size_)] = kind;
            ++size_;
        }
    }

    // Normal play: one waiting REG, or else the oldest waiting BIG, is paid.
    void PayOne() {
        if (regStock_ > 0) {
            --regStock_;
            ++regs;
            Add(coins_.reg);
        } else if (size_ > 0) {
            const int kind = queue_[Slot(0)];
            head_ = Slot(1);
            --size_;
            if (kind >= kHyperBig) {
                ++hyperBigs;
                Add(coins_.hyperBig);
            } else {
                ++normalBigs;
                Add(coins_.normalBig);
            }
            if (kArGames[static_cast<std::size_t>(kind)] > 0) {
                arLeft_ = arLength_ = kArGames[static_cast<std::size_t>(kind)];
            }
        }
    }

    Coins coins_;
    std::int32_t arLeft_ = 0;
    std::int32_t arLength_ = 0;
    std::int32_t regStock_ = 0;
    std::array<std::uint8_t, kCapacity> queue_{};
    int head_ = 0;
    int size_ = 0;
};

using BonusMachine = BasicBonusMachine<true>;
using BonusCounter = BasicBonusMachine<false>;

}  // namespace taviro::stats
