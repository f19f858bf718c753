// The start command for a run played on another thread. The run is prepared and played on a copy
// of the window's state, so that a run stopped half-way leaves the results of the last completed
// run. The full edition's history is the exception: so that memory holds one history at a time,
// the old one is released before the new one is allocated, and a stopped run rebuilds it by
// replaying the run that recorded it (the same seed and texts give the same games).
//
//   window's thread   Prepare ─┬─────────────────► Commit                 (the run completed)
//   worker thread              └─ Play ─┬──────────┘
//                                       └─ (stopped) Abandon ─► Replay ─► Restore
#pragma once

#include <cstdint>
#include <optional>

#include "core/parameters.h"
#include "core/run_control.h"
#include "core/simulation_state.h"
#include "core/start_outcome.h"
#include "core/uniform_source.h"

namespace taviro {

// Where a state's history came from: the seed and parameter texts of the run that recorded it,
// or no seed when no game was played into it (no run yet, or a start of 0 games): it is then all
// zeros.
struct HistoryOrigin {
    std::optional<std::uint64_t> seed;
    ParameterTexts texts;
};

// Allocates a history of `elements` games without events and with every balance 0, unless
// `control` (which may be null) already asks to stop. False, with nothing allocated, when the
// memory cannot be had or a stop was requested.
using HistoryAllocator = bool (*)(SimulationState& state, std::size_t elements,
                                  const RunControl* control);
bool AllocateHistory(SimulationState& state, std::size_t elements, const RunControl* control);

class StartTransaction {
  public:
    StartTransaction(SimulationState& state, HistoryOrigin& origin, UniformSource& source,
                     HistoryAllocator allocate = AllocateHistory);

    // On the window's thread. Reseeds and reads the parameters. A refused start leaves the state
    // as it was; a count of 0 loads the parameters and a one-game history into the state and plays
    // nothing, as the start command does; Ran means that a run is ready to Play, and that the
    // state's history has been handed over to be released.
    StartOutcome Prepare(const ParameterTexts& texts, std::uint64_t historyLimit);
    // Whether the state was reset to that of a program that has not run yet, because a history
    // could not be allocated after the old one had been released.
    bool ResultsLost() const { return resultsLost_; }
    // The games of the prepared run.
    std::int32_t Games() const { return run_.GameCount; }
    // The bytes of history the transaction holds: the released one until Play frees it, and the
    // new one.
    std::size_t HeldHistoryBytes() const;

    // On a worker thread: frees the released history, allocates the new one and plays the run;
    // false when `control` stopped it or the memory could not be had (also for the games with an
    // event, which the run adds as it goes).
    bool Play(RunControl& control);
    // On the window's thread, after a complete Play: the run becomes the state's.
    void Commit();

    // On the window's thread, after a Play that did not complete: returns how many games must be
    // replayed to rebuild the state's history (0 when none, or when the results are lost).
    std::int32_t Abandon();
    // On a worker thread: drops the run and replays the one that had recorded the state's history.
    bool Replay(RunControl& control);
    // On the window's thread: puts the history back. False when it could not be rebuilt; the state
    // is then reset as after a failed allocation.
    bool Restore();

  private:
    void ResetState();
    // Whether the state's history holds no played game, so that it is rebuilt as zeros.
    bool HistoryOfZeros() const;

    SimulationState& state_;
    HistoryOrigin& origin_;
    UniformSource& source_;
    HistoryAllocator allocate_;

    SimulationState run_;  // the prepared run, then the replayed one
    std::uint64_t seed_ = 0;
    ParameterTexts texts_;
    std::size_t elements_ = 0;          // of the new history
    GameHistory releasedHistory_;       // the state's history, until Play frees it
    std::size_t releasedElements_ = 0;  // the size of the state's history before Prepare
    bool outOfMemory_ = false;
    bool replayed_ = false;
    bool resultsLost_ = false;
};

}  // namespace taviro
