// The six settings side by side for the web page (embind): the sessions of taviro-stats read from
// the page's fields as the command reads its options, played on the worker's one thread, and
// answered with the command's table and its picture as SVG.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "chart_layout/sessions_chart.h"
#include "chart_layout/svg_drawing.h"
#include "core/clock_seed.h"
#include "sessions/report.h"
#include "sessions/sessions.h"
#include "sessions/summary.h"
#include "stats_cli/options.h"
#include "web/progress_reporter.h"

namespace taviro::web {

namespace {

struct SessionsFields {
    std::string sessions, games, rate, seed;
};

struct SessionsAnswer {
    std::string message;  // the command's refusal
    stats::ReportTable table;
    std::string svg;
};

// Memory the sessions may take: the module's memory ends at 2 GiB, and the page's other calls and
// the chart need the rest.
constexpr std::uint64_t kSessionsMemory = std::uint64_t{1} << 30;

inline constexpr TaskTexts kSessionsTask = {"セッションを実行しています…", "ゲーム", true};

struct Following {
    ProgressReporter* reporter;
    stats::Progress* progress;
};

void SessionPublished(void* context, std::int64_t) {
    const auto* following = static_cast<Following*>(context);
    following->reporter->Tell(static_cast<std::int64_t>(following->progress->GamesPlayed()));
}

SessionsAnswer RunSessions(const SessionsFields& fields, double width, emscripten::val progress) {
    SessionsAnswer answer;
    std::vector<std::string> texts = {"--sessions", fields.sessions, "--games",
                                      fields.games, "--rate",        fields.rate};
    if (!fields.seed.empty()) {
        texts.push_back("--seed");
        texts.push_back(fields.seed);
    }
    const std::vector<std::string_view> args(texts.begin(), texts.end());
    const stats::ParsedOptions parsed = stats::ParseStatsOptions(args, NextClockSeed(), 1);
    if (!parsed.options) {
        answer.message = parsed.error;
        return answer;
    }
    stats::SessionsPlan plan = parsed.options->plan;
    plan.threads = 1;
    const double w = std::clamp(width, 320.0, 1200.0);
    const double h = std::clamp(w * 0.75, 360.0, 720.0);
    plan.curvePoints = stats::CurvePoints(static_cast<int>(w), plan.settings.size());
    std::optional<std::vector<stats::SettingSessions>> prepared = stats::PrepareSettings(plan);
    if (!prepared) {
        answer.message = "数値が大きすぎます。";
        return answer;
    }
    std::vector<stats::SettingSessions>& settings = *prepared;
    if (const std::uint64_t needed = stats::SessionsMemoryBytes(settings, plan.sessions, 1);
        needed > kSessionsMemory) {
        answer.message = stats::MemoryRefusal(plan.sessions, needed, kSessionsMemory);
        return answer;
    }
    stats::Progress played(1);
    const std::uint64_t total = static_cast<std::uint64_t>(plan.sessions) *
                                static_cast<std::uint64_t>(plan.games) * settings.size();
    ProgressReporter reporter(static_cast<std::int64_t>(std::min<std::uint64_t>(total, INT64_MAX)),
                              kSessionsTask, progress);
    Following following{&reporter, &played};
    played.Running(0)->Observe(&SessionPublished, &following);
    stats::PlayAllSessions(settings, plan.sessions, plan.seed, plan.rate, 1, played);

    stats::Report report{plan.seed, plan.games, plan.sessions, plan.rate, false, plan.settings, {}};
    for (const stats::SettingSessions& s : settings) report.figures.push_back(stats::Summarize(s));
    answer.table = stats::TableOf(report);
    const stats::SessionsPicture picture = stats::PictureOfSessions(plan, report, settings, 1);
    answer.svg = stats::SvgDocument(stats::DrawSessions(picture, w, h), w, h,
                                    picture.title + " " + picture.subtitle);
    return answer;
}

}  // namespace

EMSCRIPTEN_BINDINGS(taviro_sessions) {
    using namespace emscripten;
    value_object<SessionsFields>("SessionsFields")
        .field("sessions", &SessionsFields::sessions)
        .field("games", &SessionsFields::games)
        .field("rate", &SessionsFields::rate)
        .field("seed", &SessionsFields::seed);
    value_object<stats::ReportTable::Row>("ReportRow")
        .field("key", &stats::ReportTable::Row::key)
        .field("heading", &stats::ReportTable::Row::heading)
        .field("cells", &stats::ReportTable::Row::cells);
    register_vector<stats::ReportTable::Row>("ReportRows");
    value_object<stats::ReportTable>("ReportTable")
        .field("lines", &stats::ReportTable::lines)
        .field("columns", &stats::ReportTable::columns)
        .field("rows", &stats::ReportTable::rows);
    value_object<SessionsAnswer>("SessionsAnswer")
        .field("message", &SessionsAnswer::message)
        .field("table", &SessionsAnswer::table)
        .field("svg", &SessionsAnswer::svg);
    function("runSessions", &RunSessions);
}

}  // namespace taviro::web
