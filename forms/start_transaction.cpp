#include "forms/start_transaction.h"

#include <limits>
#include <new>
#include <utility>

#include "core/run_simulation.h"

namespace taviro {

namespace {

// A copy of everything but the history, which is left in `s`.
SimulationState CopyWithoutHistory(SimulationState& s) {
    std::vector<double> balance = std::move(s.Balance);
    EventLog log = std::move(s.GameLog);
    SimulationState copy = s;
    s.Balance = std::move(balance);
    s.GameLog = std::move(log);
    return copy;
}

// Gives the memory of the history back, not just its contents.
void ReleaseHistory(SimulationState& s) {
    std::vector<double>().swap(s.Balance);
    s.GameLog = EventLog{};
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

bool AllocateHistory(SimulationState& state, std::size_t elements) {
    try {
        state.GameLog.Reset(elements);
        state.Balance.assign(elements, 0.0);
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
    if (history && HistoryBytes(run.GameCount) > historyLimit) return StartOutcome::OutOfMemory;

    run.KeepsHistory = history;
    if (history) {
        releasedElements_ = state_.Balance.size();
        ReleaseHistory(state_);
        if (!allocate_(run, HistoryElements(run.GameCount))) {
            ResetState();
            return StartOutcome::OutOfMemory;
        }
    }
    if (run.GameCount == 0) {
        // Parameters and history replaced, counters and results of the last run kept.
        state_ = std::move(run);
        origin_ = {};
        return StartOutcome::NoGames;
    }
    run_ = std::move(run);
    seed_ = seed;
    texts_ = texts;
    return StartOutcome::Ran;
}

bool StartTransaction::Play(RunControl& control) {
    return RunSimulation(run_, source_, &control);
}

void StartTransaction::Commit() {
    state_ = std::move(run_);
    origin_ = {seed_, texts_};
}

std::int32_t StartTransaction::Abandon() {
    run_ = SimulationState{};
    if (!state_.KeepsHistory || !origin_.seed) return 0;
    return std::max(state_.GameCount, 0);
}

bool StartTransaction::Replay(RunControl& control) {
    run_ = SimulationState{};
    if (!state_.KeepsHistory || !origin_.seed) return true;
    if (LoadParameters(run_, origin_.texts, std::numeric_limits<std::uint64_t>::max()) !=
            LoadStatus::Loaded ||
        !allocate_(run_, HistoryElements(run_.GameCount))) {
        return false;
    }
    run_.KeepsHistory = true;
    source_.Restart(*origin_.seed);
    replayed_ = RunSimulation(run_, source_, &control);
    return replayed_;
}

bool StartTransaction::Restore() {
    if (!state_.KeepsHistory) return true;
    if (!origin_.seed) {
        // A history of zeros: nothing to replay.
        if (releasedElements_ == 0 || allocate_(state_, releasedElements_)) return true;
        ResetState();
        return false;
    }
    if (!replayed_ || !SameEnd(run_, state_)) {
        ResetState();
        return false;
    }
    state_.Balance = std::move(run_.Balance);
    state_.GameLog = std::move(run_.GameLog);
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
