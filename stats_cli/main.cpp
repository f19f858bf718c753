// taviro-stats: what each machine setting pays over many sessions.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <system_error>
#include <thread>

#include "chart_layout/estimate_chart.h"
#include "chart_layout/picture_writer.h"
#include "chart_layout/sessions_chart.h"
#include "core/concat.h"
#include "core/progress_figures.h"
#include "core/version.h"
#include "core/xoshiro.h"
#include "estimation/estimate.h"
#include "estimation/estimate_report.h"
#include "sessions/report.h"
#include "sessions/sessions.h"
#include "sessions/summary.h"
#include "stats_cli/failure_message.h"
#include "stats_cli/options.h"

namespace {

using namespace taviro;
using namespace taviro::stats;

stats::Progress* g_progress = nullptr;
RunControl* g_control = nullptr;

void OnInterrupt(int) {
    if (g_progress != nullptr) g_progress->stop.store(true);
    if (g_control != nullptr) g_control->RequestStop();
}

// The first Ctrl-C asks the work to stop; the handler then gives way, so that a second one ends
// the program at once.
void CatchInterrupt() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
}

// Percent done, games per second and the time left, on one terminal line, as the windows'
// progress dialog tells them; nothing until some games have been played, so that the time left is
// a measured one.
void ShowProgress(ProgressMeter& meter, std::int64_t games) {
    if (games <= 0) return;
    const ProgressFigures figures = meter.Figures(games);
    const ProgressLines lines = meter.Lines(games, "ゲーム");
    std::fprintf(stderr, "\r  %3d%%  %s  %s \x1b[K", figures.percent, lines.pace.c_str(),
                 lines.timeLeft.c_str());
    std::fflush(stderr);
}

// Bytes of memory the program may still take: the kernel's estimate of what is available
// without swapping, or the free physical memory where that is not told.
std::uint64_t AvailableMemory() {
    if (std::FILE* meminfo = std::fopen("/proc/meminfo", "r")) {
        char line[256];
        unsigned long long kilobytes = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, meminfo) != nullptr) {
            found = std::sscanf(line, "MemAvailable: %llu kB", &kilobytes) == 1;
        }
        std::fclose(meminfo);
        if (found) return static_cast<std::uint64_t>(kilobytes) * 1024;
    }
    const long pages = sysconf(_SC_AVPHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return std::numeric_limits<std::uint64_t>::max();
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}

// Writes the report to standard output; false, with a message, when it cannot be written whole
// (a full disk, a closed pipe).
bool WriteReport(const std::string& text) {
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    if (written && std::fflush(stdout) == 0) return true;
    std::cerr << "taviro-stats: 標準出力に書き込めませんでした: " << std::strerror(errno) << "\n";
    return false;
}

bool WriteVersion() {
    return WriteReport(Concat("taviro-stats ", kVersion, "\n"));
}

// Why a picture cannot be written to `path`, found before the work starts: its folder must exist
// and take new files, and what is already there must be a file, which the picture replaces.
std::optional<std::string> PictureTargetProblem(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        return Concat(path, ": 通常のファイルではありません");
    }
    if (access(folder.c_str(), W_OK | X_OK) != 0) return Concat(folder, ": ", std::strerror(errno));
    return std::nullopt;
}

// The writer of the picture that --plot asks for, once it is known that the picture can be
// written; nothing, with the reason told, when it cannot.
std::unique_ptr<PictureWriter> PictureWriterFor(const PictureRequest& request,
                                                std::string_view program) {
    std::unique_ptr<PictureWriter> writer = MakePictureWriter();
    if (!writer->Writes(request.format)) {
        std::cerr << program
                  << ": この taviro-stats は PNG の図を書かない版です（--plot には .svg "
                     "を使ってください）。\n";
        return nullptr;
    }
    if (const auto problem = PictureTargetProblem(request.path)) {
        std::cerr << program << ": 図を書けません: " << *problem << "\n";
        return nullptr;
    }
    return writer;
}

// Writes the picture; false, with the reason told, when it cannot.
bool WritePicture(PictureWriter& writer, const Drawing& drawing, const PictureRequest& request,
                  std::string_view program) {
    const std::optional<std::string> error = writer.Write(drawing, request);
    if (!error) return true;
    std::cerr << program << ": 図を書けませんでした: " << request.path << ": " << *error << "\n";
    return false;
}

// taviro-stats estimate: the posterior of the settings from the counts a player read.
int RunEstimate(std::span<const std::string_view> args, std::uint64_t clockSeed) {
    const ParsedEstimate parsed =
        ParseEstimateOptions(args, clockSeed, std::thread::hardware_concurrency());
    if (!parsed.options) {
        std::cerr << "taviro-stats estimate: " << parsed.error << "\n";
        return 2;
    }
    if (parsed.options->help) return WriteReport(EstimateUsage()) ? 0 : 1;
    if (parsed.options->version) return WriteVersion() ? 0 : 1;
    const EstimateInput& input = parsed.options->input;
    const std::optional<PictureRequest>& plot = parsed.options->plot;
    std::unique_ptr<PictureWriter> writer;
    if (plot && !(writer = PictureWriterFor(*plot, "taviro-stats estimate"))) return 2;
    RunControl control;
    g_control = &control;
    CatchInterrupt();
    EstimateOutcome outcome;
    try {
        outcome = Estimate(input, parsed.options->threads, &control);
    } catch (...) {
        std::cerr << FailureMessage(std::current_exception(), "taviro-stats estimate",
                                    "--remaining");
        return 1;
    }
    if (outcome.stopped) {
        std::cerr << "taviro-stats estimate: 中断しました。\n";
        return 130;
    }
    if (!outcome.answer) {
        std::cerr << "taviro-stats estimate: " << outcome.error << "\n";
        return 2;
    }
    if (!WriteReport(FormatEstimate(input, *outcome.answer, parsed.options->format))) return 1;
    if (plot &&
        !WritePicture(*writer, DrawEstimate(input, *outcome.answer, plot->width, plot->height),
                      *plot, "taviro-stats estimate")) {
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    // The system's messages (a write that failed) in the user's language; numbers stay in the C
    // locale's form.
    std::setlocale(LC_MESSAGES, "");
    std::setlocale(LC_CTYPE, "");
    std::vector<std::string_view> args(argv + 1, argv + argc);
    const auto clock =
        static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    if (!args.empty() && args.front() == "estimate") {
        return RunEstimate(std::span(args).subspan(1), MixBits(clock));
    }
    const ParsedOptions parsed =
        ParseStatsOptions(args, MixBits(clock), std::thread::hardware_concurrency());
    if (!parsed.options) {
        std::cerr << "taviro-stats: " << parsed.error << "\n";
        return 2;
    }
    const StatsOptions& options = *parsed.options;
    const SessionsPlan& plan = options.plan;
    if (options.help) {
        return WriteReport(StatsUsage()) ? 0 : 1;
    }
    if (options.version) return WriteVersion() ? 0 : 1;
    std::unique_ptr<PictureWriter> writer;
    if (options.plot && !(writer = PictureWriterFor(*options.plot, "taviro-stats"))) return 2;

    std::optional<std::vector<SettingSessions>> prepared = PrepareSettings(plan);
    if (!prepared) {
        std::cerr << "taviro-stats: 数値が大きすぎます。\n";
        return 2;
    }
    std::vector<SettingSessions>& settings = *prepared;
    const std::uint64_t needed = SessionsMemoryBytes(settings, plan.sessions, plan.threads);
    if (const std::uint64_t available = AvailableMemory(); needed > available) {
        std::cerr << "taviro-stats: " << MemoryRefusal(plan.sessions, needed, available) << "\n";
        return 2;
    }

    Progress progress(plan.threads);
    g_progress = &progress;
    // The first Ctrl-C lets the running sessions finish.
    CatchInterrupt();

    // At most 10^9 sessions × 2^31 games × 6 settings: within 64 unsigned bits.
    const std::uint64_t totalGames = static_cast<std::uint64_t>(plan.sessions) *
                                     static_cast<std::uint64_t>(plan.games) * settings.size();
    const SteadyClock steady;
    ProgressMeter meter(steady,
                        static_cast<std::int64_t>(std::min<std::uint64_t>(totalGames, INT64_MAX)));
    unsigned threadsUsed = 0;
    std::exception_ptr failure;  // of the sessions' thread, told once it has ended
    auto play = [&] {
        try {
            threadsUsed = PlayAllSessions(settings, plan.sessions, plan.seed, plan.rate,
                                          plan.threads, progress);
        } catch (...) {
            failure = std::current_exception();
        }
    };
    // The sessions play on a thread of their own while this one shows the progress; without that
    // thread they play here, without progress.
    std::thread runner;
    try {
        runner = std::thread(play);
    } catch (const std::system_error&) {
        play();
    }
    const bool showProgress = runner.joinable() && isatty(STDERR_FILENO);
    if (showProgress) {
        while (progress.games.load() < totalGames && !progress.stop.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            ShowProgress(meter, static_cast<std::int64_t>(
                                    std::min<std::uint64_t>(progress.GamesPlayed(), INT64_MAX)));
        }
    }
    if (runner.joinable()) runner.join();
    if (showProgress) std::fprintf(stderr, "\r\x1b[K");
    if (failure) {
        std::cerr << FailureMessage(failure, "taviro-stats", "--sessions");
        return 1;
    }
    const bool interrupted = progress.stop.load();
    if (threadsUsed < plan.threads) {
        std::cerr << "taviro-stats: スレッドを " << plan.threads << " 個作れず、" << threadsUsed
                  << " 個で実行しました（結果はスレッド数によらず同じです）。\n";
    }

    Report report{plan.seed, plan.games, plan.sessions, plan.rate, interrupted, plan.settings, {}};
    std::int64_t completed = 0;
    for (const SettingSessions& s : settings) {
        report.figures.push_back(Summarize(s));
        if (report.figures.back()) completed += report.figures.back()->sessions;
    }
    if (!WriteReport(FormatReport(report, options.format))) return 1;
    // The picture comes after the table, from the same sessions; a picture that cannot be
    // written leaves the table as it is.
    bool pictureWritten = true;
    if (options.plot) {
        const SessionsPicture picture = PictureOfSessions(plan, report, settings, plan.threads);
        const Drawing drawing = DrawSessions(picture, options.plot->width, options.plot->height);
        pictureWritten = WritePicture(*writer, drawing, *options.plot, "taviro-stats");
    }
    if (!pictureWritten && !interrupted) return 1;
    if (interrupted) {
        std::cerr << "taviro-stats: 中断しました。完了したセッション " << completed << " / "
                  << plan.sessions * static_cast<std::int64_t>(settings.size())
                  << " を集計しました。\n";
        return 130;
    }
    return 0;
}
