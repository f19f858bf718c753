// Works out setting estimates on a thread of its own while the window stays responsive, one at a
// time: a newer request stops the one under way within a few milliseconds, and only the answer
// to the latest request is announced, on the window's thread.
#pragma once

#include <QObject>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "core/run_control.h"
#include "estimation/estimate.h"

namespace taviro {

class LiveEstimate final : public QObject {
    Q_OBJECT

  public:
    // What works out one estimate; stats::Estimate unless a test puts another in its place.
    using Estimator = std::function<stats::EstimateOutcome(const stats::EstimateInput&,
                                                           unsigned threads, RunControl*)>;

    // Each estimate works on `threads` threads.
    explicit LiveEstimate(unsigned threads, QObject* parent = nullptr,
                          Estimator estimator = stats::Estimate);
    // Stops the estimate under way and waits for its thread.
    ~LiveEstimate() override;
    LiveEstimate(const LiveEstimate&) = delete;
    LiveEstimate& operator=(const LiveEstimate&) = delete;

    // Estimates `input` in place of whatever was asked before.
    void Request(const stats::EstimateInput& input);
    // Drops the latest request: its answer, if any, is not announced.
    void Cancel();

    // A request is waiting for its answer.
    bool Working() const { return working_; }
    // Estimates begun, and of those, the ones stopped before their end because a newer request
    // came.
    std::int64_t Begun() const;
    std::int64_t Stopped() const;

    // An estimator's failure (an exception, a failed allocation among them) becomes the answer's
    // error, so that it reaches the window instead of ending the program.
    stats::EstimateOutcome Guarded(const stats::EstimateInput& input, RunControl* control) const;

  signals:
    // The answer to the latest request, or why there is none (outcome.error).
    void Answered(const stats::EstimateInput& input, const stats::EstimateOutcome& outcome);

  private:
    void Work();
    void Deliver(std::uint64_t serial, const stats::EstimateInput& input,
                 const stats::EstimateOutcome& outcome);

    struct Job {
        std::uint64_t serial = 0;
        stats::EstimateInput input;
    };

    const unsigned threads_;
    const Estimator estimator_;

    // Shared with the worker thread, under mutex_.
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Job> pending_;
    RunControl* current_ = nullptr;  // of the estimate under way
    bool quit_ = false;
    std::int64_t begun_ = 0;
    std::int64_t stopped_ = 0;

    // The window's thread only.
    std::uint64_t latest_ = 0;  // serial of the latest request or cancel
    bool working_ = false;

    std::thread worker_;  // started by the constructor once everything above exists
};

}  // namespace taviro
