#include "sessions/sessions.h"

#include <sys/mman.h>

#include <algorithm>
#include <exception>
#include <limits>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include "core/distribution.h"
#include "core/game_loop.h"
#include "core/money_summary.h"
#include "core/recorders.h"
#include "core/xoshiro_source.h"
#include "sessions/session_curves.h"

namespace taviro::stats {

namespace {

template <class Recorder>
SessionResult Play(const SimulationState& prepared, UniformSource& source, double rate,
                   RunControl* control, Recorder& tracker) {
    SimulationState s = prepared;
    PlayGames(s, source, tracker, control);
    const MoneyFigures money = ComputeMoneyFigures(tracker.Lowest(), s.VirtualOut, rate);
    SessionResult r;
    r.bigs = s.CntNBIG + s.CntHBIG;
    r.regs = s.CntREG;
    r.arGames = s.CntARGames;
    r.finalBalance = tracker.Final();
    r.lowestBalance = tracker.Lowest();
    r.virtualOut = s.VirtualOut;
    r.investment = money.notes;
    // The rate is never 0 here: no value means a result beyond the number range.
    r.netResult = money.net.value_or(std::numeric_limits<double>::quiet_NaN());
    return r;
}

}  // namespace

SessionResult PlaySession(const SimulationState& prepared, UniformSource& source, double rate,
                          RunControl* control, std::span<const std::int64_t> checkpoints,
                          float* balances) {
    if (checkpoints.empty()) {
        BalanceTracker tracker;
        return Play(prepared, source, rate, control, tracker);
    }
    CheckpointRecorder recorder(checkpoints);
    const SessionResult result = Play(prepared, source, rate, control, recorder);
    std::copy(recorder.Balances().begin(), recorder.Balances().end(), balances);
    return result;
}

std::uint64_t Progress::GamesPlayed() const {
    std::uint64_t played = games.load(std::memory_order_relaxed);
    for (unsigned i = 0; i < workers_; ++i) {
        played += static_cast<std::uint64_t>(running_[i].GamesPlayed());
    }
    return played;
}

std::uint64_t SessionsMemoryBytes(const std::vector<SettingSessions>& settings,
                                  std::int64_t sessions, unsigned threads) {
    constexpr std::uint64_t kKept = sizeof(SessionResult) + sizeof(std::uint8_t);
    constexpr std::uint64_t kSummaryValues = 7 * sizeof(double);  // see Summarize
    std::uint64_t perSession = kSummaryValues;
    bool curves = false;
    for (const SettingSessions& s : settings) {
        perSession += kKept + s.checkpoints.size() * sizeof(float);
        curves = curves || !s.checkpoints.empty();
    }
    // The columns of balances each thread gathers while their percentiles are found
    // (SessionBands).
    if (curves) perSession += threads * kColumnsPerTask * sizeof(float);
    return static_cast<std::uint64_t>(sessions) * perSession;
}

std::unique_ptr<float[], FreeMemory> LargeFloats(std::size_t count) {
    constexpr std::size_t kLargePage = std::size_t{2} << 20;
    const std::size_t bytes = (count * sizeof(float) + kLargePage - 1) / kLargePage * kLargePage;
    void* memory = std::aligned_alloc(kLargePage, std::max(bytes, kLargePage));
    if (memory == nullptr) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    madvise(memory, bytes, MADV_HUGEPAGE);  // a hint: without large pages, small ones serve
#endif
    return std::unique_ptr<float[], FreeMemory>(static_cast<float*>(memory));
}

std::uint64_t SessionSeed(std::uint64_t seed, int setting, std::int64_t session) {
    return MixBits(MixBits(seed + static_cast<std::uint64_t>(setting) * 0x9e3779b97f4a7c15ULL) ^
                   static_cast<std::uint64_t>(session));
}

ParameterTexts TextsForSetting(const SessionsPlan& plan, int setting) {
    ParameterTexts texts = plan.parameters;
    const PresetTexts& preset = kSettingPresets[static_cast<std::size_t>(setting - 1)];
    texts.TexBIG = plan.big.value_or(std::string(preset.big));
    texts.TexREG = plan.reg.value_or(std::string(preset.reg));
    texts.TexGAME = std::to_string(plan.games);
    return texts;
}

std::optional<std::vector<SettingSessions>> PrepareSettings(const SessionsPlan& plan) {
    std::vector<SettingSessions> settings;
    for (int setting : plan.settings) {
        std::optional<SimulationState> prepared =
            PreparedState(TextsForSetting(plan, setting), false);
        if (!prepared) return std::nullopt;
        settings.emplace_back(setting, std::move(*prepared));
        if (plan.curvePoints > 0) {
            settings.back().checkpoints = Checkpoints(plan.games, plan.curvePoints);
        }
    }
    return settings;
}

std::thread StartThread(std::function<void()> work) {
    return std::thread(std::move(work));
}

unsigned PlayAllSessions(std::vector<SettingSessions>& settings, std::int64_t sessions,
                         std::uint64_t seed, double rate, unsigned threads, Progress& progress,
                         const ThreadStarter& startThread) {
    for (auto& s : settings) {
        s.results.assign(static_cast<std::size_t>(sessions), {});
        s.done.assign(static_cast<std::size_t>(sessions), 0);
        s.balances.reset();
        if (!s.checkpoints.empty()) {
            s.balances = LargeFloats(static_cast<std::size_t>(sessions) * s.checkpoints.size());
        }
    }
    const std::int64_t total = sessions * static_cast<std::int64_t>(settings.size());
    std::atomic<std::int64_t> next{0};
    constexpr std::int64_t kChunk = 8;

    // The first exception of any thread (memory that cannot be had) stops the others and is
    // thrown here once all have ended: an exception leaving a thread would end the program.
    std::exception_ptr failure;
    std::mutex failureMutex;
    auto play = [&](unsigned worker) {
        RunControl* running = progress.Running(worker);
        while (!progress.stop.load(std::memory_order_relaxed)) {
            const std::int64_t first = next.fetch_add(kChunk, std::memory_order_relaxed);
            if (first >= total) return;
            for (std::int64_t task = first; task < std::min(total, first + kChunk); ++task) {
                if (progress.stop.load(std::memory_order_relaxed)) return;
                SettingSessions& target = settings[static_cast<std::size_t>(task / sessions)];
                const std::int64_t session = task % sessions;
                XoshiroSource source(SessionSeed(seed, target.setting, session));
                target.results[static_cast<std::size_t>(session)] =
                    PlaySession(target.prepared, source, rate, running, target.checkpoints,
                                target.BalancesOf(session));
                target.done[static_cast<std::size_t>(session)] = 1;
                // Counted as under way no longer before it counts as completed: the total never
                // runs ahead of the games played.
                if (running != nullptr) running->Publish(0);
                progress.games.fetch_add(static_cast<std::uint64_t>(target.prepared.GameCount),
                                         std::memory_order_relaxed);
            }
        }
    };
    auto work = [&](unsigned worker) {
        try {
            play(worker);
        } catch (...) {
            const std::lock_guard lock(failureMutex);
            if (!failure) failure = std::current_exception();
            progress.stop.store(true);
        }
    };
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t) {
        try {
            pool.push_back(startThread([&work, t] { work(t); }));
        } catch (const std::system_error&) {
            break;  // the threads that started, and this one, share the sessions
        }
    }
    work(0);
    for (auto& thread : pool) thread.join();
    if (failure) std::rethrow_exception(failure);
    return static_cast<unsigned>(pool.size()) + 1;
}

}  // namespace taviro::stats
