// A scripted source that can hold its run on the worker thread, for a test to act meanwhile.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <limits>
#include <mutex>

#include "support/scripted_source.h"

namespace taviro::test_support {

class HeldSource final : public UniformSource {
  public:
    explicit HeldSource(ScriptedSource& script) : script_(script) {}

    // Draws stop before script position `position` until Release() or another HoldAt().
    void HoldAt(std::size_t position) {
        {
            const std::lock_guard lock(mutex_);
            holdAt_ = position;
        }
        released_.notify_all();
    }
    void Release() {
        {
            const std::lock_guard lock(mutex_);
            holdAt_ = std::numeric_limits<std::size_t>::max();
        }
        released_.notify_all();
    }

    std::uint64_t Reseed() override { return script_.Reseed(); }
    void Restart(std::uint64_t seed) override { script_.Restart(seed); }
    void Fill(std::span<float> out) override {
        std::unique_lock lock(mutex_);
        released_.wait(lock, [this] { return script_.Consumed() < holdAt_; });
        script_.Fill(out);
    }

  private:
    ScriptedSource& script_;
    std::mutex mutex_;
    std::condition_variable released_;
    std::size_t holdAt_ = std::numeric_limits<std::size_t>::max();
};

}  // namespace taviro::test_support
