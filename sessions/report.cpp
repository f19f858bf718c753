#include "sessions/report.h"

#include <functional>
#include <string_view>

#include "core/concat.h"
#include "core/number_text.h"
#include "core/numbers.h"

namespace taviro::stats {

namespace {

// One figure of the report: its key in CSV and JSON, its heading in the table, how it is read
// from a setting's figures and to how many decimals it is rounded.
struct Row {
    std::string key;
    std::string_view heading;
    std::function<std::optional<double>(const SettingFigures&)> value;
    int decimals;
};

std::vector<Row> DistributionRows(std::string_view prefix, std::string_view name,
                                  Distribution SettingFigures::*member, int decimals, bool ahead) {
    auto field = [member](double Distribution::*f) {
        return
            [member, f](const SettingFigures& s) -> std::optional<double> { return s.*member.*f; };
    };
    const std::string key(prefix);
    auto k = [key](std::string_view suffix) { return Concat(key, "_", suffix); };
    std::vector<Row> rows = {
        {k("mean"), name, field(&Distribution::mean), decimals},
        {k("sd"), "　標準偏差", field(&Distribution::sd), decimals},
    };
    if (ahead) {
        rows.push_back({k("ahead_percent"), "　勝率(%)",
                        [member](const SettingFigures& s) -> std::optional<double> {
                            return (s.*member).aheadShare * 100;
                        },
                        1});
    }
    const std::pair<std::string_view, double Distribution::*> points[] = {
        {"p5", &Distribution::p5},   {"p25", &Distribution::p25}, {"p50", &Distribution::p50},
        {"p75", &Distribution::p75}, {"p95", &Distribution::p95}, {"min", &Distribution::min},
        {"max", &Distribution::max}};
    const std::string_view headings[] = {"　5%点",  "　25%点", "　中央値", "　75%点",
                                         "　95%点", "　最小",  "　最大"};
    for (std::size_t i = 0; i < std::size(points); ++i) {
        rows.push_back({k(points[i].first), headings[i], field(points[i].second), decimals});
    }
    return rows;
}

const std::vector<Row>& Rows() {
    static const std::vector<Row> rows = [] {
        std::vector<Row> r = {
            {"sessions", "完了セッション数",
             [](const SettingFigures& s) -> std::optional<double> {
                 return static_cast<double>(s.sessions);
             },
             0},
            {"payout_percent", "ＰＡＹＯＵＴ(%)",
             [](const SettingFigures& s) -> std::optional<double> { return s.payout.payout; }, 3},
            {"payout_ci95_low", "　95%信頼区間 下限",
             [](const SettingFigures& s) { return s.payout.low; }, 3},
            {"payout_ci95_high", "　95%信頼区間 上限",
             [](const SettingFigures& s) { return s.payout.high; }, 3},
            {"big_mean", "ＢＩＧ回数 平均",
             [](const SettingFigures& s) -> std::optional<double> { return s.meanBigs; }, 2},
            {"reg_mean", "ＲＥＧ回数 平均",
             [](const SettingFigures& s) -> std::optional<double> { return s.meanRegs; }, 2},
            {"ar_games_mean", "ＡＲゲーム数 平均",
             [](const SettingFigures& s) -> std::optional<double> { return s.meanArGames; }, 1},
        };
        for (auto&& part :
             {DistributionRows("net_coins", "差枚数 平均", &SettingFigures::netCoins, 1, true),
              DistributionRows("net_kyen", "収支(千円) 平均", &SettingFigures::netResult, 1, true),
              DistributionRows("investment_kyen", "投資金額(千円) 平均",
                               &SettingFigures::investment, 1, false)}) {
            r.insert(r.end(), part.begin(), part.end());
        }
        return r;
    }();
    return rows;
}

// A figure's value; nothing when it does not exist (no completed session, or a single one for an
// interval).
std::optional<double> Value(const std::optional<SettingFigures>& figures, const Row& row) {
    if (!figures) return std::nullopt;
    return row.value(*figures);
}

// As the table shows it: rounded, in the program's number form; the empty text when the figure
// is not a finite number.
std::optional<std::string> Shown(const std::optional<SettingFigures>& figures, const Row& row) {
    const std::optional<double> value = Value(figures, row);
    if (!value) return std::nullopt;
    return RoundedNumber(*value, row.decimals);
}

std::string Text(const Report& r) {
    const ReportTable table = TableOf(r);
    std::string out;
    for (const std::string& line : table.lines) out += Concat(line, "\n");
    out += "\n";
    // 19 + 6 × 10 columns: the six settings side by side within 80 columns.
    constexpr std::size_t kHeadingWidth = 19;
    constexpr std::size_t kColumnWidth = 10;
    out += PadRight("", kHeadingWidth);
    for (const std::string& column : table.columns) out += PadLeft(column, kColumnWidth);
    out += "\n";
    for (const ReportTable::Row& row : table.rows) {
        out += PadRight(row.heading, kHeadingWidth);
        for (const std::string& cell : row.cells) out += PadLeft(cell, kColumnWidth);
        out += "\n";
    }
    return out;
}

std::string Csv(const Report& r) {
    std::string out = "setting,seed,games,sessions_requested,rate,interrupted";
    for (const Row& row : Rows()) out += Concat(",", row.key);
    out += "\n";
    for (std::size_t i = 0; i < r.settings.size(); ++i) {
        out += Concat(std::to_string(r.settings[i]), ",", std::to_string(r.seed), ",",
                      std::to_string(r.games), ",", std::to_string(r.sessionsRequested), ",",
                      FullNumber(r.rate), ",", r.interrupted ? "1" : "0");
        for (const Row& row : Rows()) {
            const std::optional<double> value = Value(r.figures[i], row);
            out += Concat(",", value ? FullNumber(*value) : std::string());
        }
        out += "\n";
    }
    return out;
}

std::string Json(const Report& r) {
    std::string out = Concat(
        "{\n  \"seed\": ", std::to_string(r.seed), ",\n  \"games\": ", std::to_string(r.games),
        ",\n  \"sessions_requested\": ", std::to_string(r.sessionsRequested),
        ",\n  \"rate\": ", FullNumber(r.rate),
        ",\n  \"interrupted\": ", r.interrupted ? "true" : "false", ",\n  \"settings\": [");
    for (std::size_t i = 0; i < r.settings.size(); ++i) {
        out += i == 0 ? "\n" : ",\n";
        out += Concat("    {\"setting\": ", std::to_string(r.settings[i]));
        for (const Row& row : Rows()) {
            out += Concat(", \"", row.key, "\": ", JsonNumber(Value(r.figures[i], row)));
        }
        out += "}";
    }
    out += "\n  ]\n}\n";
    return out;
}

}  // namespace

ReportTable TableOf(const Report& r) {
    ReportTable table;
    table.lines = {
        Concat("taviro-stats  シード ", std::to_string(r.seed)),
        Concat(std::to_string(r.sessionsRequested), "セッション × ", std::to_string(r.games),
               "ゲーム  換金率 ", FormatNumber(r.rate), "枚/100円")};
    if (r.interrupted)
        table.lines.emplace_back("中断しました: 完了したセッションだけを集計しています");
    for (int setting : r.settings) table.columns.push_back(Concat("設定", std::to_string(setting)));
    for (const Row& row : Rows()) {
        ReportTable::Row shown{row.key, std::string(row.heading), {}};
        for (const auto& figures : r.figures)
            shown.cells.push_back(Shown(figures, row).value_or("-"));
        table.rows.push_back(std::move(shown));
    }
    return table;
}

std::string FormatReport(const Report& report, OutputFormat format) {
    switch (format) {
        case OutputFormat::Csv:
            return Csv(report);
        case OutputFormat::Json:
            return Json(report);
        case OutputFormat::Text:
            break;
    }
    return Text(report);
}

}  // namespace taviro::stats
