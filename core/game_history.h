// The per-game history of a run: the balance after every game and its event byte, from game 0
// (the start, balance 0) to the last game.
//
// Almost every game has no event and adds the base of its mode (normal or AR) to the balance of
// the game before; a game with an event adds its base and then the coins of the bonus it paid.
// So the history keeps only the games with an event (with their event bytes), the balance and the
// AR games left after every kCheckpointGames-th game, and the lowest and highest balance of every
// block of games (games 1 to 512 with game 0, 513 to 1024, and so on: the blocks in which the
// game loop draws). Any game's balance comes back by adding up the games from the balance kept
// before it, with the same additions in the same order as the game loop made them, so it is the
// same double. A recorded balance that those additions would not give (one written
// by something other than the game loop) is kept with its game.
#pragma once

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "core/balance_extent.h"
#include "core/event_log.h"
#include "core/repeated_sum.h"

namespace taviro {

class GameHistory {
  public:
    static constexpr std::int64_t kBlockGames = 512;        // games per block of extents
    static constexpr std::int64_t kCheckpointGames = 4096;  // games per balance kept
    static_assert(kCheckpointGames % kBlockGames == 0);

    // The block of a game: block k holds games k × kBlockGames + 1 to (k + 1) × kBlockGames,
    // block 0 game 0 too.
    static std::int64_t BlockOf(std::int64_t game) {
        return game == 0 ? 0 : (game - 1) / kBlockGames;
    }

    // What a game adds to the balance: the base of its mode, then the coins of the bonus it paid.
    struct Coins {
        double normal = 0;     // BaseN
        double ar = 0;         // BaseAR
        double reg = 0;        // OutREG
        double normalBig = 0;  // OutNBIG
        double hyperBig = 0;   // OutHBIG
    };

    // The balance after a game with event byte `code` from `balance` before it, `arLeft` being
    // the AR games still to play before it: an AR game adds `ar` and counts down, any other game
    // adds `normal`, then the coins of its payment; a payment that starts an AR sets `arLeft`.
    static double AfterGame(const Coins& coins, double balance, std::uint8_t code,
                            std::int32_t& arLeft) {
        double after;
        if (arLeft > 0) {
            --arLeft;
            after = balance + coins.ar;
        } else {
            after = balance + coins.normal;
        }
        const int paid = (code & event::kPaidMask) >> event::kPaidShift;
        if (paid != 0) {
            after += paid == 1 ? coins.reg : (paid <= 4 ? coins.normalBig : coins.hyperBig);
            if (const std::int32_t ar = event::ArGamesStarted(code); ar > 0) arLeft = ar;
        }
        return after;
    }

    GameHistory() = default;
    GameHistory(const GameHistory&) = default;
    GameHistory& operator=(const GameHistory&) = default;
    // A history moved from is left empty.
    GameHistory(GameHistory&& other) noexcept { TakeFrom(other); }
    GameHistory& operator=(GameHistory&& other) noexcept {
        if (this != &other) TakeFrom(other);
        return *this;
    }
    ~GameHistory() = default;

    // Games 0 to size - 1 (none when size is 0), none recorded yet: every balance 0, no event.
    // Throws std::bad_alloc when the memory cannot be had.
    void Reset(std::size_t size);
    // The memory a history of `size` games with `events` games with an event takes.
    static std::uint64_t BytesFor(std::uint64_t size, std::uint64_t events);

    // The number of games, game 0 included.
    std::size_t Size() const { return size_; }
    bool Empty() const { return size_ == 0; }
    // The memory it holds.
    std::size_t Bytes() const;

    // One game's balance and event byte (0 to Size() - 1), each from the balance kept before it;
    // HistoryReader walks many games for the cost of one addition each.
    double Balance(std::int64_t game) const;
    std::uint8_t Code(std::int64_t game) const;
    std::string Text(std::int64_t game) const { return EventText(Code(game)); }
    // The lowest and highest finite balance of games `first` to `last` (below Size()), from the
    // blocks they cover whole and the games of the blocks they cover in part.
    BalanceExtent Of(std::int64_t first, std::int64_t last) const;
    BalanceExtent Whole() const;

    // Recording, by the game loop or anything else that has a history to keep. Begin, then each
    // game from 1 to Size() - 1 in order, once, by AddGame or AddQuietGames.
    void Begin(const Coins& coins);
    // Any game: its balance and event byte.
    void AddGame(std::int64_t game, double balance, std::uint8_t code) {
        assert(game == next_ && game < static_cast<std::int64_t>(size_));
        const bool given = !SameBits(AfterGame(coins_, balance_, code, arLeft_), balance);
        if (code != 0 || given) PushEvent(game, code, given);
        if (given) GiveBalance(game, balance);
        BlockExtent(game).Add(balance);
        EndGames(game, balance);
    }
    // `count` games from `first` on without an event and, in AR, not the last AR game: each adds
    // the base of its mode; `last` is the balance after them. Cheapest inside one block.
    void AddQuietGames(std::int64_t first, std::int64_t count, double last) {
        assert(first == next_ && count >= 1 && first + count <= static_cast<std::int64_t>(size_));
        assert(arLeft_ == 0 || count < arLeft_);
        if (PlayedBlockOf(first) == PlayedBlockOf(first + count - 1)) {
            AddQuietPart(first, count, last);
        } else {
            AddQuietAcross(first, count, last);
        }
    }
    // Adds `bits` to the event byte of the last game, once every game is recorded.
    void MarkLastGame(std::uint8_t bits);

  private:
    friend class HistoryReader;

    static constexpr int kChunkShift = 14;  // events per chunk: 2^14
    static constexpr std::size_t kChunkEvents = std::size_t{1} << kChunkShift;
    static constexpr std::uint32_t kGivenBit = std::uint32_t{1} << 31;

    // The state after game k × kCheckpointGames.
    struct Checkpoint {
        double balance;
        std::uint32_t event;  // the first event after the game
        std::int32_t arLeft;  // AR games still to play
    };
    // Games with an event in order: the game (with kGivenBit when its balance is kept in
    // `given_`) and its event byte, in chunks of kChunkEvents so that growing never moves what is
    // there.
    struct EventChunk {
        std::vector<std::uint32_t> games;
        std::vector<std::uint8_t> codes;
    };
    struct GivenBalance {
        std::int64_t game;
        double balance;
    };

    void TakeFrom(GameHistory& other) noexcept;
    std::int64_t EventGame(std::size_t event) const {
        return chunks_[event >> kChunkShift].games[event & (kChunkEvents - 1)] & ~kGivenBit;
    }
    static bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }
    // BlockOf of a game from 1 on, and whether it is its block's first.
    static std::size_t PlayedBlockOf(std::int64_t game) {
        return static_cast<std::size_t>(game - 1) / kBlockGames;
    }
    static bool FirstOfBlock(std::int64_t game) {
        return static_cast<std::size_t>(game - 1) % kBlockGames == 0;
    }
    void PushEvent(std::int64_t game, std::uint8_t code, bool given) {
        const std::size_t index = events_ & (kChunkEvents - 1);
        if (index == 0) AddChunk();
        EventChunk& chunk = chunks_.back();
        chunk.games[index] = static_cast<std::uint32_t>(game) | (given ? kGivenBit : 0);
        chunk.codes[index] = code;
        ++events_;
    }
    void AddChunk();
    void GiveBalance(std::int64_t game, double balance);
    double GivenBalanceOf(std::int64_t game) const;
    // The extent of the block of `game`, started anew at the block's first recorded game (game 0,
    // never recorded, is always 0).
    BalanceExtent& BlockExtent(std::int64_t game) {
        BalanceExtent& block = blocks_[PlayedBlockOf(game)];
        if (FirstOfBlock(game)) block = game == 1 ? BalanceExtent{0, 0} : BalanceExtent{};
        return block;
    }
    // Quiet games inside one block, and across blocks.
    void AddQuietPart(std::int64_t first, std::int64_t count, double last) {
        const bool ar = arLeft_ > 0;
        const double base = ar ? coins_.ar : coins_.normal;
#ifndef NDEBUG
        float lowest = 0;
        assert(SameBits(AddRepeatedly(balance_, base, count, nullptr, lowest), last));
#endif
        const double firstSum = balance_ + base;
        BalanceExtent& block = BlockExtent(first);
        if (std::isfinite(firstSum - last)) {  // both finite, and not too far apart
            // The sums move one way, so their ends are their extent.
            block.low = std::min(block.low, std::min(firstSum, last));
            block.high = std::max(block.high, std::max(firstSum, last));
        } else {
            AddEachQuietGame(block, count, base);  // rare: beyond the number range
        }
        if (ar) arLeft_ -= static_cast<std::int32_t>(count);
        EndGames(first + count - 1, last);
    }
    void AddQuietAcross(std::int64_t first, std::int64_t count, double last);
    void AddEachQuietGame(BalanceExtent& block, std::int64_t count, double base) const;
    // Recording has reached the end of game `game`, with balance `balance`.
    void EndGames(std::int64_t game, double balance) {
        balance_ = balance;
        next_ = game + 1;
        if (static_cast<std::size_t>(game) % kCheckpointGames == 0) {
            checkpoints_[static_cast<std::size_t>(game) / kCheckpointGames] = {
                balance, static_cast<std::uint32_t>(events_), arLeft_};
        }
    }

    std::size_t size_ = 0;
    Coins coins_;
    std::vector<BalanceExtent> blocks_;
    std::vector<Checkpoint> checkpoints_;
    std::vector<EventChunk> chunks_;
    std::size_t events_ = 0;
    std::vector<GivenBalance> given_;

    // While recording: the next game, and the balance and AR games left after the one before.
    std::int64_t next_ = 1;
    double balance_ = 0;
    std::int32_t arLeft_ = 0;
};

// Walks the games of a history in order from any game on: the balance and event byte of each,
// for one addition a game, or many games at a time in bulk.
class HistoryReader {
  public:
    // At game `game` (0 to Size() - 1).
    HistoryReader(const GameHistory& history, std::int64_t game);

    std::int64_t Game() const { return game_; }
    double Balance() const { return balance_; }
    std::uint8_t Code() const { return code_; }

    // On to the next game, which must exist.
    void Next() {
        if (game_ + 1 == eventGame_) return NextEvent();
        ++game_;
        code_ = 0;
        balance_ = GameHistory::AfterGame(coins_, balance_, 0, arLeft_);
    }
    // On to game `game` (not before the current one, below Size()), in bulk.
    void SkipTo(std::int64_t game);
    // The balances and event bytes of the next `count` games (which must exist), ending at the
    // last of them; runs of games without events are summed in bulk.
    void Read(double* balances, std::uint8_t* codes, std::int64_t count);
    // The lowest and highest finite balance from the current game to `last`, both included,
    // ending at `last`. Runs of games without events count by their ends, unless a balance is
    // beyond the number range: meant for short stretches.
    BalanceExtent ExtentTo(std::int64_t last);

  private:
    static constexpr std::int64_t kNoEvent = std::numeric_limits<std::int64_t>::max();

    void NextEvent();
    // The next event's game.
    void LoadEvent();
    // `games` games without events, their balances written to `balances` when it is given.
    void AddQuiet(std::int64_t games, double* balances = nullptr);

    const GameHistory* history_;
    GameHistory::Coins coins_;
    std::int64_t game_ = 0;
    double balance_ = 0;
    std::uint8_t code_ = 0;
    std::int32_t arLeft_ = 0;  // after the current game
    std::size_t event_ = 0;    // the first event after the current game
    std::int64_t eventGame_ = kNoEvent;
};

}  // namespace taviro
