#include "core/start_transaction.h"

#include <algorithm>
#include <limits>
#include <new>
#include <utility>

#include "core/run_simulation.h"

namespace taviro {

namespace {

// A copy of everything but the history, which is left in `s`.
SimulationState CopyWithoutHistory(SimulationState& s) {
    GameHistory history = std::move(s.History);
    SimulationState copy = s;
    s.History = std::move(history);
    return copy;
}

// Gives the memory of the history back, not just its contents.
void ReleaseHistory(SimulationState& s) {
    s.History = GameHistory{};
}

// Games 0 to the count; one element for a count below 1.
std::size_t HistoryElements(std::int32_t games) {
    return games < 0 ? 1 : static_cast<std::size_t>(games) + 1;
}

// Whether a replay ended where the original run had.
bool SameEnd(const SimulationState& a, const SimulationState& b) {
    return a.GameCount == b.GameCount && a.CntNBIG == b.CntNBIG && a.CntHBIG == b.CntHBIG &&
           a.CntREG == b.CntREG && a.CntARGames == b.CntARGames && a.CntAR150 == b.CntAR150 &&
           a.CntAR1000 == b.CntAR1000 && a.ARLeft == b.ARLeft && a.RegStock == b.RegStock &&
           a.Stock == b.Stock && a.MinBalance == b.MinBalance && a.Payout == b.Payout;
}

}  // namespace

bool AllocateHistory(SimulationState& state, std::size_t elements, const RunControl* control) {
    if (control != nullptr && control->StopRequested()) return false;
    try {
        state.History.Reset(elements);
        return true;
    } catch (const std::bad_alloc&) {
        ReleaseHistory(state);
        return false;
    }
}

StartTransaction::StartTransaction(SimulationState& state, HistoryOrigin& origin,
                                   UniformSource& source, HistoryAllocator allocate)
    : state_(state), origin_(origin), source_(source), allocate_(allocate) {}

StartOutcome StartTransaction::Prepare(const ParameterTexts& texts, std::uint64_t historyLimit) {
    const std::uint64_t seed = source_.Reseed();
    const bool history = state_.KeepsHistory;
    SimulationState run = CopyWithoutHistory(state_);
    run.KeepsHistory = false;  // the history is allocated below, once everything has been checked
    switch (LoadParameters(run, texts, historyLimit)) {
        case LoadStatus::Loaded:
            break;
        case LoadStatus::NumberTooLarge:
            return StartOutcome::NumberTooLarge;
        case LoadStatus::GameCountTooLarge:
            return StartOutcome::GameCountTooLarge;
        case LoadStatus::OutOfMemory:
            return StartOutcome::OutOfMemory;
    }
    if (history && HistoryBytes(run.GameCount, run.ThrREG) > historyLimit) {
        return StartOutcome::OutOfMemory;
    }

    run.KeepsHistory = history;
    if (run.GameCount == 0) {
        // Parameters and history replaced, counters and results of the last run kept.
        if (history) {
            ReleaseHistory(state_);
            if (!allocate_(run, 1, nullptr)) {
                ResetState();
                return StartOutcome::OutOfMemory;
            }
        }
        state_ = std::move(run);
        origin_ = {};
        return StartOutcome::NoGames;
    }
    if (history) {
        releasedElements_ = state_.History.Size();
        releasedHistory_ = std::move(state_.History);
        ReleaseHistory(state_);  // leaves it empty
        elements_ = HistoryElements(run.GameCount);
    }
    run_ = std::move(run);
    seed_ = seed;
    texts_ = texts;
    return StartOutcome::Ran;
}

std::size_t StartTransaction::HeldHistoryBytes() const {
    return releasedHistory_.Bytes() + run_.History.Bytes();
}

bool StartTransaction::Play(RunControl& control) {
    releasedHistory_ = GameHistory{};
    if (run_.KeepsHistory && !allocate_(run_, elements_, &control)) {
        outOfMemory_ = !control.StopRequested();
        return false;
    }
    try {
        return RunSimulation(run_, source_, &control);
    } catch (const std::bad_alloc&) {
        // The games with an event did not fit.
        ReleaseHistory(run_);
        outOfMemory_ = true;
        return false;
    }
}

void StartTransaction::Commit() {
    state_ = std::move(run_);
    origin_ = {seed_, texts_};
}

std::int32_t StartTransaction::Abandon() {
    if (outOfMemory_) {
        ResetState();
        return 0;
    }
    if (!state_.KeepsHistory || HistoryOfZeros()) return 0;
    return state_.GameCount;
}

bool StartTransaction::HistoryOfZeros() const {
    // A negative count plays no game: its history holds game 0 only, as after a start of 0.
    return !origin_.seed || state_.GameCount < 1;
}

bool StartTransaction::Replay(RunControl& control) {
    run_ = SimulationState{};
    if (!state_.KeepsHistory || HistoryOfZeros()) return true;
    if (LoadParameters(run_, origin_.texts, std::numeric_limits<std::uint64_t>::max()) !=
            LoadStatus::Loaded ||
        !allocate_(run_, HistoryElements(run_.GameCount), &control)) {
        return false;
    }
    run_.KeepsHistory = true;
    source_.Restart(*origin_.seed);
    try {
        replayed_ = RunSimulation(run_, source_, &control);
    } catch (const std::bad_alloc&) {
        ReleaseHistory(run_);
        replayed_ = false;
    }
    return replayed_;
}

bool StartTransaction::Restore() {
    if (resultsLost_) return false;
    if (!state_.KeepsHistory) {
        run_ = SimulationState{};
        return true;
    }
    if (HistoryOfZeros()) {
        // Nothing to replay.
        run_ = SimulationState{};
        if (releasedElements_ == 0 || allocate_(state_, releasedElements_, nullptr)) return true;
        ResetState();
        return false;
    }
    if (!replayed_ || !SameEnd(run_, state_)) {
        ResetState();
        return false;
    }
    state_.History = std::move(run_.History);
    run_ = SimulationState{};
    return true;
}

void StartTransaction::ResetState() {
    const bool history = state_.KeepsHistory;
    state_ = SimulationState{};
    state_.KeepsHistory = history;
    origin_ = {};
    run_ = SimulationState{};
    resultsLost_ = true;
}

}  // namespace taviro
