// Many independent sessions of one setting, each exactly one run of the engine, spread over
// threads. Every session's generator comes from the seed, the setting and the session's index,
// so the results do not depend on the number of threads or on the order the sessions ran in.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <thread>
#include <vector>

#include "core/run_control.h"
#include "core/simulation_state.h"
#include "core/uniform_source.h"
#include "sessions/sessions_plan.h"

namespace taviro::stats {

struct SessionResult {
    bool operator==(const SessionResult&) const = default;

    std::int32_t bigs = 0;  // BIGs paid
    std::int32_t regs = 0;  // REGs paid
    std::int32_t arGames = 0;
    double finalBalance = 0;  // net coins after the last game
    float lowestBalance = 0;
    double virtualOut = 0;  // games × expected net coins per game
    double investment = 0;  // thousand-yen notes put in
    double netResult = 0;   // thousand yen at the rate; NaN when it is not a finite number
};

// One session on a state that LoadParameters prepared (without history). With a `control`, the
// session tells how many of its games it has played so far. With `checkpoints` (ascending games
// from 1 on), `balances` receives the balance after each of them.
SessionResult PlaySession(const SimulationState& prepared, UniformSource& source, double rate,
                          RunControl* control = nullptr,
                          std::span<const std::int64_t> checkpoints = {},
                          float* balances = nullptr);

std::uint64_t SessionSeed(std::uint64_t seed, int setting, std::int64_t session);

struct FreeMemory {
    void operator()(void* memory) const { std::free(memory); }
};

// Room for `count` floats, not set, in memory the system is asked to give in large pages: a
// picture's balances take tens of megabytes, and faulting them in a small page at a time costs
// more than playing the sessions that fill them. Throws std::bad_alloc.
std::unique_ptr<float[], FreeMemory> LargeFloats(std::size_t count);

struct SettingSessions {
    SettingSessions(int s, SimulationState state) : setting(s), prepared(std::move(state)) {}

    int setting;
    SimulationState prepared;
    std::vector<SessionResult> results;  // by session index
    std::vector<std::uint8_t> done;      // whether each session completed
    // The games after which each session's balance is kept (none: no balance is kept), and
    // those balances, session by session: written by the threads that play the sessions, never
    // set before (a completed session has written all of its own).
    std::vector<std::int64_t> checkpoints;
    std::unique_ptr<float[], FreeMemory> balances;

    float* BalancesOf(std::int64_t session) const {
        return balances.get() + static_cast<std::size_t>(session) * checkpoints.size();
    }
};

class Progress {
  public:
    // `workers`: the threads whose sessions under way are counted too.
    explicit Progress(unsigned workers = 0)
        : running_(std::make_unique<RunControl[]>(workers)), workers_(workers) {}

    std::atomic<std::uint64_t> games{0};  // games of the completed sessions
    std::atomic<bool> stop{false};        // set to end early; running sessions still complete

    // The games of the session that worker `index` is playing; nothing beyond the workers counted.
    RunControl* Running(unsigned index) { return index < workers_ ? &running_[index] : nullptr; }

    // Games played so far, the sessions under way included.
    std::uint64_t GamesPlayed() const;

  private:
    std::unique_ptr<RunControl[]> running_;
    unsigned workers_;
};

// Bytes that `sessions` sessions of the `settings` keep until the report is written: each
// session's figures and completion flag per setting, its balances at the setting's checkpoints,
// and the values one setting's summary sorts; with checkpoints, the columns of balances
// `threads` threads gather for their percentiles.
std::uint64_t SessionsMemoryBytes(const std::vector<SettingSessions>& settings,
                                  std::int64_t sessions, unsigned threads);

// The settings of the plan, each with its parameters loaded (and the checkpoints of its
// sessions' balances when the plan follows them); nothing when a parameter reads beyond the
// number range.
std::optional<std::vector<SettingSessions>> PrepareSettings(const SessionsPlan& plan);

// Starts a thread that runs `work`; throws std::system_error when the system refuses.
using ThreadStarter = std::function<std::thread(std::function<void()> work)>;
std::thread StartThread(std::function<void()> work);

// Plays `sessions` sessions of every setting on up to `threads` threads (the calling one
// included). A thread the system refuses is done without: the sessions are shared by the threads
// that did start. Returns the number of threads that played. Throws std::bad_alloc when the
// memory for the sessions' figures cannot be had (the threads have ended by then).
unsigned PlayAllSessions(std::vector<SettingSessions>& settings, std::int64_t sessions,
                         std::uint64_t seed, double rate, unsigned threads, Progress& progress,
                         const ThreadStarter& startThread = StartThread);

}  // namespace taviro::stats
