#include "estimate_window/live_estimate.h"

#include <exception>
#include <new>
#include <system_error>
#include <utility>

namespace taviro {

stats::EstimateOutcome LiveEstimate::Guarded(const stats::EstimateInput& input,
                                             RunControl* control) const {
    stats::EstimateOutcome outcome;
    try {
        return estimator_(input, threads_, control);
    } catch (const std::bad_alloc&) {
        outcome.error = "メモリが足りません（残りゲーム数を減らしてください）";
    } catch (const std::exception& e) {
        outcome.error = std::string("計算を続けられませんでした（") + e.what() + "）";
    } catch (...) {
        outcome.error = "計算を続けられませんでした";
    }
    return outcome;
}

LiveEstimate::LiveEstimate(unsigned threads, QObject* parent, Estimator estimator)
    : QObject(parent), threads_(threads == 0 ? 1 : threads), estimator_(std::move(estimator)) {
    try {
        worker_ = std::thread([this] { Work(); });
    } catch (const std::system_error&) {
        // Without a thread of its own, each request is estimated on the window's thread.
    }
}

LiveEstimate::~LiveEstimate() {
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
        if (current_ != nullptr) current_->RequestStop();
    }
    wake_.notify_one();
    if (worker_.joinable()) worker_.join();
}

void LiveEstimate::Request(const stats::EstimateInput& input) {
    working_ = true;
    if (!worker_.joinable()) {
        QMetaObject::invokeMethod(
            this,
            [this, serial = ++latest_, input, outcome = Guarded(input, nullptr)] {
                Deliver(serial, input, outcome);
            },
            Qt::QueuedConnection);
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        pending_ = Job{++latest_, input};
        if (current_ != nullptr) current_->RequestStop();
    }
    wake_.notify_one();
}

void LiveEstimate::Cancel() {
    working_ = false;
    const std::lock_guard lock(mutex_);
    ++latest_;
    pending_.reset();
    if (current_ != nullptr) current_->RequestStop();
}

std::int64_t LiveEstimate::Begun() const {
    const std::lock_guard lock(mutex_);
    return begun_;
}

std::int64_t LiveEstimate::Stopped() const {
    const std::lock_guard lock(mutex_);
    return stopped_;
}

void LiveEstimate::Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return quit_ || pending_; });
        if (quit_) return;
        const Job job = std::move(*pending_);
        pending_.reset();
        RunControl control;
        current_ = &control;
        ++begun_;
        lock.unlock();
        stats::EstimateOutcome outcome = Guarded(job.input, &control);
        lock.lock();
        current_ = nullptr;
        if (outcome.stopped) {
            ++stopped_;
        } else if (!pending_) {
            // Queued to the window's thread; dropped with this object if it goes first.
            QMetaObject::invokeMethod(
                this,
                [this, serial = job.serial, input = job.input, outcome = std::move(outcome)] {
                    Deliver(serial, input, outcome);
                },
                Qt::QueuedConnection);
        }
    }
}

void LiveEstimate::Deliver(std::uint64_t serial, const stats::EstimateInput& input,
                           const stats::EstimateOutcome& outcome) {
    if (serial != latest_) return;  // a newer request or a cancel came meanwhile
    working_ = false;
    emit Answered(input, outcome);
}

}  // namespace taviro
