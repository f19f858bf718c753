#include "core/game_history.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>
#include <utility>

#include "core/repeated_sum.h"

namespace taviro {

namespace {

// Blocks and checkpoints of `size` games, game 0 included.
std::uint64_t BlocksOf(std::uint64_t size) {
    return size == 0 ? 0 : static_cast<std::uint64_t>(GameHistory::BlockOf(size - 1)) + 1;
}
std::uint64_t CheckpointsOf(std::uint64_t size) {
    return size == 0 ? 0 : (size - 1) / GameHistory::kCheckpointGames + 1;
}

}  // namespace

void GameHistory::TakeFrom(GameHistory& other) noexcept {
    size_ = std::exchange(other.size_, 0);
    coins_ = std::exchange(other.coins_, {});
    blocks_ = std::exchange(other.blocks_, {});
    checkpoints_ = std::exchange(other.checkpoints_, {});
    chunks_ = std::exchange(other.chunks_, {});
    events_ = std::exchange(other.events_, 0);
    given_ = std::exchange(other.given_, {});
    next_ = std::exchange(other.next_, 1);
    balance_ = std::exchange(other.balance_, 0.0);
    arLeft_ = std::exchange(other.arLeft_, 0);
}

void GameHistory::Reset(std::size_t size) {
    *this = GameHistory{};  // the old memory goes first
    blocks_.assign(BlocksOf(size), BalanceExtent{0, 0});
    checkpoints_.assign(CheckpointsOf(size), Checkpoint{0, 0, 0});
    size_ = size;
}

std::uint64_t GameHistory::BytesFor(std::uint64_t size, std::uint64_t events) {
    const std::uint64_t chunks = (events + kChunkEvents - 1) / kChunkEvents;
    return BlocksOf(size) * sizeof(BalanceExtent) + CheckpointsOf(size) * sizeof(Checkpoint) +
           chunks * (sizeof(EventChunk) + kChunkEvents * (sizeof(std::uint32_t) + 1));
}

std::size_t GameHistory::Bytes() const {
    std::size_t bytes =
        blocks_.capacity() * sizeof(BalanceExtent) + checkpoints_.capacity() * sizeof(Checkpoint) +
        chunks_.capacity() * sizeof(EventChunk) + given_.capacity() * sizeof(GivenBalance);
    for (const EventChunk& chunk : chunks_) {
        bytes += chunk.games.capacity() * sizeof(std::uint32_t) + chunk.codes.capacity();
    }
    return bytes;
}

double GameHistory::Balance(std::int64_t game) const {
    return HistoryReader(*this, game).Balance();
}

std::uint8_t GameHistory::Code(std::int64_t game) const {
    return HistoryReader(*this, game).Code();
}

BalanceExtent GameHistory::Of(std::int64_t first, std::int64_t last) const {
    if (first > last) return {};
    // The blocks inside the games: from the block of `first`, or the next one when `first` is not
    // its first game, to the block of `last`, or the one before when `last` is not its last game.
    const std::int64_t firstWhole =
        first == 0 ? 0 : std::max<std::int64_t>(1, BlockOf(first + kBlockGames - 1));
    const std::int64_t endWhole = last / kBlockGames;
    if (firstWhole >= endWhole) return HistoryReader(*this, first).ExtentTo(last);
    const std::int64_t wholeFrom = firstWhole == 0 ? 0 : firstWhole * kBlockGames + 1;
    BalanceExtent extent;
    if (first < wholeFrom) extent.Add(HistoryReader(*this, first).ExtentTo(wholeFrom - 1));
    for (std::int64_t k = firstWhole; k < endWhole; ++k) {
        extent.Add(blocks_[static_cast<std::size_t>(k)]);
    }
    if (endWhole * kBlockGames < last) {
        extent.Add(HistoryReader(*this, endWhole * kBlockGames + 1).ExtentTo(last));
    }
    return extent;
}

BalanceExtent GameHistory::Whole() const {
    BalanceExtent whole;
    for (const BalanceExtent& block : blocks_) whole.Add(block);
    return whole;
}

void GameHistory::Begin(const Coins& coins) {
    coins_ = coins;
    chunks_.clear();
    events_ = 0;
    given_.clear();
    next_ = 1;
    balance_ = 0;
    arLeft_ = 0;
    if (size_ > 0) {
        blocks_[0] = {0, 0};
        checkpoints_[0] = {0, 0, 0};
    }
}

void GameHistory::AddChunk() {
    EventChunk& chunk = chunks_.emplace_back();
    chunk.games.resize(kChunkEvents);
    chunk.codes.resize(kChunkEvents);
}

void GameHistory::GiveBalance(std::int64_t game, double balance) {
    given_.push_back({game, balance});
}

void GameHistory::AddQuietAcross(std::int64_t first, std::int64_t count, double last) {
    // The balance at the end of each block, by the same additions.
    const double base = arLeft_ > 0 ? coins_.ar : coins_.normal;
    for (std::int64_t game = first, end = first + count; game < end;) {
        const std::int64_t part = std::min(end - 1, (BlockOf(game) + 1) * kBlockGames) - game + 1;
        float lowest = 0;  // not needed
        AddQuietPart(
            game, part,
            game + part == end ? last : AddRepeatedly(balance_, base, part, nullptr, lowest));
        game += part;
    }
}

void GameHistory::AddEachQuietGame(BalanceExtent& block, std::int64_t count, double base) const {
    double sum = balance_;
    for (std::int64_t k = 0; k < count; ++k) block.Add(sum = sum + base);
}

void GameHistory::MarkLastGame(std::uint8_t bits) {
    const auto last = static_cast<std::int64_t>(size_) - 1;
    assert(last >= 1 && next_ == last + 1);
    if (events_ > 0 && EventGame(events_ - 1) == last) {
        chunks_.back().codes[(events_ - 1) & (kChunkEvents - 1)] |= bits;
        return;
    }
    PushEvent(last, bits, false);
    if (last % kCheckpointGames == 0) {
        checkpoints_[static_cast<std::size_t>(last / kCheckpointGames)].event =
            static_cast<std::uint32_t>(events_);
    }
}

double GameHistory::GivenBalanceOf(std::int64_t game) const {
    const auto given =
        std::lower_bound(given_.begin(), given_.end(), game,
                         [](const GivenBalance& g, std::int64_t k) { return g.game < k; });
    return given->balance;
}

HistoryReader::HistoryReader(const GameHistory& history, std::int64_t game)
    : history_(&history), coins_(history.coins_) {
    assert(game >= 0 && game < static_cast<std::int64_t>(history.size_));
    // The checkpoint before the game (game 0 is one).
    const std::int64_t from = game == 0 ? 0 : (game - 1) / GameHistory::kCheckpointGames;
    const GameHistory::Checkpoint& checkpoint =
        history.checkpoints_[static_cast<std::size_t>(from)];
    game_ = from * GameHistory::kCheckpointGames;
    balance_ = checkpoint.balance;
    arLeft_ = checkpoint.arLeft;
    event_ = checkpoint.event;
    LoadEvent();
    SkipTo(game);
}

void HistoryReader::LoadEvent() {
    eventGame_ = event_ < history_->events_ ? history_->EventGame(event_) : kNoEvent;
}

void HistoryReader::NextEvent() {
    const GameHistory::EventChunk& chunk = history_->chunks_[event_ >> GameHistory::kChunkShift];
    const std::size_t index = event_ & (GameHistory::kChunkEvents - 1);
    ++game_;
    code_ = chunk.codes[index];
    balance_ = GameHistory::AfterGame(coins_, balance_, code_, arLeft_);
    if (chunk.games[index] & GameHistory::kGivenBit) balance_ = history_->GivenBalanceOf(game_);
    ++event_;
    LoadEvent();
}

void HistoryReader::AddQuiet(std::int64_t games, double* balances) {
    float lowest = 0;  // not needed
    code_ = 0;
    while (games > 0) {
        const bool ar = arLeft_ > 0;
        const std::int64_t count = ar ? std::min<std::int64_t>(games, arLeft_) : games;
        balance_ = AddRepeatedly(balance_, ar ? coins_.ar : coins_.normal, count, balances, lowest);
        if (ar) arLeft_ -= static_cast<std::int32_t>(count);
        if (balances != nullptr) balances += count;
        game_ += count;
        games -= count;
    }
}

void HistoryReader::Read(double* balances, std::uint8_t* codes, std::int64_t count) {
    const std::int64_t end = game_ + count;
    while (game_ < end) {
        const std::int64_t quietEnd = std::min(end, eventGame_ - 1);
        if (quietEnd > game_) {
            const auto quiet = static_cast<std::size_t>(quietEnd - game_);
            std::fill_n(codes, quiet, std::uint8_t{0});
            AddQuiet(quietEnd - game_, balances);
            balances += quiet;
            codes += quiet;
        }
        if (game_ < end) {
            NextEvent();
            *balances++ = balance_;
            *codes++ = code_;
        }
    }
}

void HistoryReader::SkipTo(std::int64_t game) {
    while (game_ < game) {
        const std::int64_t quietEnd = std::min(game, eventGame_ - 1);
        if (quietEnd > game_) AddQuiet(quietEnd - game_);
        if (game_ < game) NextEvent();
    }
}

BalanceExtent HistoryReader::ExtentTo(std::int64_t last) {
    BalanceExtent extent;
    extent.Add(balance_);
    while (game_ < last) {
        const std::int64_t quietEnd = std::min(last, eventGame_ - 1);
        while (game_ < quietEnd) {
            // Games of one mode: their sums move one way.
            const bool ar = arLeft_ > 0;
            const std::int64_t count =
                ar ? std::min<std::int64_t>(quietEnd - game_, arLeft_) : quietEnd - game_;
            const double base = ar ? coins_.ar : coins_.normal;
            const double before = balance_;
            AddQuiet(count);
            const double first = before + base;
            if (std::isfinite(first) && std::isfinite(balance_)) {
                extent.Add(first);
                extent.Add(balance_);
            } else {
                double sum = before;  // rare: beyond the number range
                for (std::int64_t k = 0; k < count; ++k) extent.Add(sum = sum + base);
            }
        }
        if (game_ < last) {
            NextEvent();
            extent.Add(balance_);
        }
    }
    return extent;
}

}  // namespace taviro
