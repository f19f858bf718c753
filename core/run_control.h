// Lets another thread follow a run and end it early. The game loop tells how many games it has
// played and looks for a stop request between chunks of games, never inside one, so that the
// hot loop stays as it is.
#pragma once

#include <atomic>
#include <cstdint>

namespace taviro {

class RunControl {
  public:
    // Games between two looks; a multiple of the loop's block of draws.
    static constexpr std::int64_t kChunkGames = std::int64_t{1} << 16;

    void RequestStop() { stop_.store(true, std::memory_order_relaxed); }
    bool StopRequested() const { return stop_.load(std::memory_order_relaxed); }

    // How far the work has got: games of a run played so far, continuations of a projection.
    std::int64_t GamesPlayed() const { return games_.load(std::memory_order_relaxed); }
    void Publish(std::int64_t games) {
        games_.store(games, std::memory_order_relaxed);
        if (observer_ != nullptr) observer_(observerContext_, games);
    }

    // A host with one thread (a web page's worker) cannot look from elsewhere: it is told each
    // count as it is published, on the working thread, and may not stop the work from there.
    using Observer = void (*)(void* context, std::int64_t games);
    void Observe(Observer observer, void* context) {
        observer_ = observer;
        observerContext_ = context;
    }

  private:
    std::atomic<std::int64_t> games_{0};
    std::atomic<bool> stop_{false};
    Observer observer_ = nullptr;
    void* observerContext_ = nullptr;
};

}  // namespace taviro
