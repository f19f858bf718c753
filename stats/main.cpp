// taviro-stats: what each machine setting pays over many sessions.
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <thread>

#include "options.h"
#include "report.h"
#include "sessions.h"
#include "start_command.h"
#include "summary.h"

namespace {

using namespace taviro;
using namespace taviro::stats;

stats::Progress* g_progress = nullptr;

void OnInterrupt(int) {
    if (g_progress != nullptr) g_progress->stop.store(true);
}

// Percent done, games per second and the time left, on one terminal line.
void ShowProgress(const Progress& progress, std::uint64_t totalGames, double seconds) {
    const auto games = static_cast<double>(progress.games.load());
    const double rate = seconds > 0 ? games / seconds : 0;
    const double left = rate > 0 ? (static_cast<double>(totalGames) - games) / rate : 0;
    std::fprintf(stderr, "\r  %5.1f%%  %.1f百万ゲーム/秒  残り %.1f秒 \x1b[K",
                 100 * games / static_cast<double>(totalGames), rate / 1e6, left);
    std::fflush(stderr);
}

}  // namespace

int main(int argc, char* argv[]) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    const auto clock =
        static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    const ParsedOptions parsed =
        ParseStatsOptions(args, MixBits(clock), std::thread::hardware_concurrency());
    if (!parsed.options) {
        std::cerr << "taviro-stats: " << parsed.error << "\n";
        return 2;
    }
    const StatsOptions& options = *parsed.options;
    if (options.help) {
        std::cout << StatsUsage();
        return 0;
    }

    std::optional<std::vector<SettingSessions>> prepared = PrepareSettings(options);
    if (!prepared) {
        std::cerr << "taviro-stats: 数値が大きすぎます。\n";
        return 2;
    }
    std::vector<SettingSessions>& settings = *prepared;

    Progress progress;
    g_progress = &progress;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigaction(SIGINT, &action, nullptr);

    // At most 10^7 sessions × 2^31 games × 6 settings: within 64 unsigned bits.
    const std::uint64_t totalGames = static_cast<std::uint64_t>(options.sessions) *
                                     static_cast<std::uint64_t>(options.games) * settings.size();
    const auto start = std::chrono::steady_clock::now();
    std::thread runner([&] {
        PlayAllSessions(settings, options.sessions, options.seed, options.rate, options.threads,
                        progress);
    });
    if (isatty(STDERR_FILENO)) {
        while (progress.games.load() < totalGames && !progress.stop.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
            ShowProgress(progress, totalGames, elapsed.count());
        }
    }
    runner.join();
    if (isatty(STDERR_FILENO)) std::fprintf(stderr, "\r\x1b[K");
    const bool interrupted = progress.stop.load();

    Report report{options.seed,
                  options.games,
                  options.sessions,
                  options.rate,
                  interrupted,
                  options.settings,
                  {}};
    std::int64_t completed = 0;
    for (const SettingSessions& s : settings) {
        report.figures.push_back(Summarize(s));
        if (report.figures.back()) completed += report.figures.back()->sessions;
    }
    std::cout << FormatReport(report, options.format);
    if (interrupted) {
        std::cerr << "taviro-stats: 中断しました。完了したセッション " << completed << " / "
                  << options.sessions * static_cast<std::int64_t>(settings.size())
                  << " を集計しました。\n";
        return 130;
    }
    return 0;
}
