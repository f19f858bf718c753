// The game loop, written once for every recorder.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

#include "core/bonus_marks.h"
#include "core/event_log.h"
#include "core/lottery_draw.h"
#include "core/payout.h"
#include "core/repeated_sum.h"
#include "core/run_control.h"
#include "core/simulation_state.h"
#include "core/stock_queue.h"
#include "core/uniform_source.h"

namespace taviro {

// Resets the queue, the modes and every counter for a new run.
inline void ResetRun(SimulationState& s) {
    s.StockPos = 1;
    s.ARMode = 0;
    s.ARLeft = 0;
    s.RegStock = 0;
    std::fill(s.Stock.begin() + 1, s.Stock.end(), kEmpty);
    s.CntNBIG = s.CntHBIG = s.CntREG = s.CntARGames = 0;
    s.CntAR150 = s.CntAR1000 = 0;
    s.LsBIG = s.LsAR150 = s.LsAR1000 = 0;
}

// Counts the hyper BIGs still held at the end of a run.
inline void CountLeftovers(SimulationState& s) {
    for (std::int32_t slot = 1; slot <= kStockSlots; ++slot) {
        const std::int32_t kind = s.Stock[slot];
        if (kind >= kHyperBig && kind <= kHyperBigAr1000) ++s.LsBIG;
        if (kind == kHyperBigAr150) ++s.LsAR150;
        if (kind == kHyperBigAr1000) ++s.LsAR1000;
    }
}

// What one game brought: its event byte, the coins every game earns (normal or AR) and the coins
// of the bonus paid in it, if any.
struct GameOutcome {
    std::uint8_t code = event::kHeldNone;
    double base = 0;
    bool paid = false;
    double bonus = 0;
};

// Plays one game with lottery number `draw`.
inline GameOutcome PlayGame(SimulationState& s, std::int32_t draw) {
    GameOutcome outcome;
    const bool inAr = s.ARMode == 1;
    if (draw <= s.ThrREG) {
        if (draw <= s.ThrBIG_AR1000) {
            // 0 plain, 1 with AR150, 2 with AR1000
            const std::int32_t region = draw <= s.ThrBIG ? 0 : (draw <= s.ThrBIG_AR150 ? 1 : 2);
            PushStock(s, region + (inAr ? kHyperBig : kNormalBig));
            if (inAr) outcome.code = static_cast<std::uint8_t>(event::kHeldBig + region);
            if (region == 1) ++s.CntAR150;
            if (region == 2) ++s.CntAR1000;
        } else {
            ++s.RegStock;
            if (inAr) outcome.code = event::kHeldReg;
        }
    }

    if (inAr) {
        --s.ARLeft;
        ++s.CntARGames;
        outcome.base = s.BaseAR;
        if (s.ARLeft == 0) {
            s.ARMode = 0;
            outcome.code |= event::kArEnd;
        }
    } else {
        outcome.base = s.BaseN;
        if (s.RegStock > 0) {
            ++s.CntREG;
            --s.RegStock;
            outcome.code |= event::kPaidReg;
            outcome.paid = true;
            outcome.bonus = s.OutREG;
        } else if (s.Stock[1] > kEmpty) {
            const std::int32_t kind = ReleaseStock(s);
            outcome.code |= event::PaidStock(kind);
            outcome.paid = true;
            outcome.bonus = kind >= kHyperBig ? s.OutHBIG : s.OutNBIG;
        }
    }
    return outcome;
}

// Whether the next game pays a held bonus: normal play with a REG waiting or a BIG at the head of
// the queue.
inline bool PaymentDue(const SimulationState& s) {
    return s.ARMode == 0 && (s.RegStock > 0 || s.Stock[1] > kEmpty);
}

// Plays `count` games from `first` in which nothing is drawn, paid or ended: each adds the base of
// its mode, an AR game also counts down. The state must allow it (no payment due; in AR, more
// than `count` games left). A recorder that names the games whose balance it wants
// (WantedGames, ascending) gets those of them among these games (WantedBalances, SkipWanted); one
// that keeps the balances gets the balance after them (QuietGames).
template <class Recorder>
void PlayQuietGames(SimulationState& s, Recorder& recorder, std::int64_t first, std::int64_t count,
                    RepeatedAdder& adder, double& balance, float& lowest) {
    double base = s.BaseN;
    if (s.ARMode == 1) {
        s.ARLeft -= static_cast<std::int32_t>(count);
        s.CntARGames += static_cast<std::int32_t>(count);
        base = s.BaseAR;
    }
    if constexpr (requires { recorder.QuietGames(first, count, balance); }) {
        balance = adder.Add(balance, base, count, lowest);
        recorder.QuietGames(first, count, balance);
    } else if constexpr (requires { recorder.WantedGames(); }) {
        // The balances of the games the recorder names come out of the same bulk sum.
        const std::span<const std::int64_t> wanted = recorder.WantedGames();
        const auto inside = static_cast<std::size_t>(
            std::lower_bound(wanted.begin(), wanted.end(), first + count) - wanted.begin());
        if (inside == 0) {
            balance = AddRepeatedly(balance, base, count, nullptr, lowest);
        } else {
            balance = AddRepeatedlyAt(balance, base, count, wanted.first(inside), first - 1,
                                      recorder.WantedBalances(), lowest);
            recorder.SkipWanted(inside);
        }
    } else if constexpr (Recorder::kKeepsBalance) {
        balance = adder.Add(balance, base, count, lowest);
    }
    recorder.EndQuietGames(first, count);
}

// Plays games 1 to `GameCount` (none when it is below 1), counts the leftovers and computes the
// payout. The draws come from `source`, one per game, in game order, a block at a time; the games
// between two draws in a bonus region are played in bulk, every other game one by one. With a
// `control`, the loop publishes its progress and ends early when asked to: it then returns false
// and leaves the state of a run cut off half-way, which the caller discards.
template <class Recorder>
bool PlayGames(SimulationState& s, UniformSource& source, Recorder& recorder,
               RunControl* control = nullptr) {
    ResetRun(s);
    recorder.Begin();
    double balance = 0;   // after the current game
    float lowest = 0;     // the lowest balance in single precision, never above 0
    RepeatedAdder adder;  // for the quiet games
    auto playOne = [&](std::int64_t game, std::int32_t draw) {
        s.GameNo = static_cast<std::int32_t>(game);
        s.Draw = draw;
        const GameOutcome outcome = PlayGame(s, draw);
        if constexpr (Recorder::kKeepsBalance) {
            balance = balance + outcome.base;
            if (outcome.paid) balance += outcome.bonus;
            // std::min(a, b) is b < a ? b : a: the lower value, without a branch.
            lowest = std::min(lowest, static_cast<float>(balance));
        }
        recorder.EndGame(game, balance, outcome.code);
    };
    const std::int64_t games = s.GameCount;
    constexpr std::int64_t kBlock = 512;
    alignas(32) std::array<std::int32_t, kBlock> draws;
    std::array<std::uint64_t, kBlock / 64> bonus;  // the draws in a bonus region
    static_assert(RunControl::kChunkGames % kBlock == 0);
    // A recorder that keeps something of every block of games has blocks made of whole blocks of
    // draws, so that a run of quiet games lies inside one of them.
    if constexpr (requires { Recorder::kBlockGames; })
        static_assert(Recorder::kBlockGames % kBlock == 0);
    for (std::int64_t first = 1; first <= games; first += kBlock) {
        if (control != nullptr && (first - 1) % RunControl::kChunkGames == 0) {
            control->Publish(first - 1);
            if (control->StopRequested()) return false;
        }
        const std::int64_t count = std::min(kBlock, games - first + 1);
        const std::span<std::int32_t> block(draws.data(), static_cast<std::size_t>(count));
        source.FillDraws(block);
        MarkDrawsAtOrBelow(block, s.ThrREG, bonus.data());
        std::int64_t j = 0;
        while (j < count) {
            if (!PaymentDue(s)) {
                std::int64_t quietEnd = NextMarked(bonus.data(), j, count);
                if (s.ARMode == 1) quietEnd = std::min<std::int64_t>(quietEnd, j + s.ARLeft - 1);
                if (quietEnd > j) {
                    PlayQuietGames(s, recorder, first + j, quietEnd - j, adder, balance, lowest);
                    j = quietEnd;
                    if (j == count) break;
                }
            }
            // Game j draws in a bonus region, ends an AR period or pays a held bonus.
            playOne(first + j, draws[static_cast<std::size_t>(j)]);
            ++j;
        }
        s.GameNo = static_cast<std::int32_t>(first + count - 1);
        s.Draw = draws[static_cast<std::size_t>(count - 1)];
    }
    CountLeftovers(s);
    recorder.End(s.GameCount, balance, lowest);
    ComputePayout(s);
    if (control != nullptr) control->Publish(std::max<std::int64_t>(games, 0));
    return true;
}

}  // namespace taviro
