#include "stats_cli/options.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "chart_layout/sessions_chart.h"
#include "core/clock_seed.h"
#include "core/concat.h"
#include "core/number_text.h"
#include "core/numbers.h"
#include "stats_cli/option_table.h"

namespace taviro::stats {

namespace {

// Every session keeps its figures for the percentiles; whether they fit in memory is judged
// before the run (SessionsMemoryBytes).
constexpr std::int64_t kMaxSessions = 1'000'000'000;

std::string Quote(std::string_view text) {
    return Concat("\"", text, "\"");
}

// A whole number within [low, high], or an error line.
std::optional<std::int64_t> Integer(std::string_view name, std::string_view value, std::int64_t low,
                                    std::int64_t high, std::string& error) {
    const std::optional<double> number = ParseWholeNumber(value);
    if (!number || *number != std::floor(*number) || *number < static_cast<double>(low) ||
        *number > static_cast<double>(high)) {
        error = Concat(name, " には ", std::to_string(low), " から ", std::to_string(high),
                       " までの整数を指定してください: ", Quote(value));
        return std::nullopt;
    }
    return static_cast<std::int64_t>(*number);
}

// A coin or probability text: read as the main window reads it, but it must be a number.
bool NumberText(std::string_view name, std::string_view value, std::string& target,
                std::string& error) {
    const std::optional<double> number = ParseWholeNumber(value);
    if (!number) {
        error = Concat(name, " には数値を指定してください: ", Quote(value));
        return false;
    }
    if (!std::isfinite(*number)) {
        error = Concat(name, " の数値が大きすぎます: ", Quote(value));
        return false;
    }
    target = std::string(value);
    return true;
}

bool EndsWithNoCase(std::string_view text, std::string_view ending) {
    if (text.size() < ending.size()) return false;
    const std::string_view tail = text.substr(text.size() - ending.size());
    for (std::size_t i = 0; i < ending.size(); ++i) {
        const char c = tail[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != ending[i])
            return false;
    }
    return true;
}

// "--plot FILE": the picture's form comes from the file's extension.
bool ReadPlot(std::string_view v, std::optional<PictureRequest>& plot, std::string& error) {
    const bool png = EndsWithNoCase(v, ".png");
    if (!png && !EndsWithNoCase(v, ".svg")) {
        error = Concat("--plot のファイル名は .png か .svg で終わるものにしてください: ", Quote(v));
        return false;
    }
    plot = PictureRequest{std::string(v), png ? PictureFormat::Png : PictureFormat::Svg};
    return true;
}

// "--plot-size WxH" in pixels.
bool ReadPlotSize(std::string_view v, std::optional<std::pair<int, int>>& size,
                  std::string& error) {
    const std::size_t x = v.find('x');
    int width = 0, height = 0;
    const char* end = v.data() + v.size();
    const bool read = x != std::string_view::npos &&
                      std::from_chars(v.data(), v.data() + x, width).ptr == v.data() + x &&
                      std::from_chars(v.data() + x + 1, end, height).ptr == end && x > 0 &&
                      x + 1 < v.size();
    if (!read || width < kLeastPicture.first || width > kMostPictureSide ||
        height < kLeastPicture.second || height > kMostPictureSide) {
        error = Concat("--plot-size には 幅x高さ を ", std::to_string(kLeastPicture.first), "x",
                       std::to_string(kLeastPicture.second), " から ",
                       std::to_string(kMostPictureSide), "x", std::to_string(kMostPictureSide),
                       " までのピクセル数で指定してください: ", Quote(v));
        return false;
    }
    size = {width, height};
    return true;
}

// The size and the threads go to the picture; a size without a picture is a mistake worth
// telling.
std::string ApplyPlotSize(std::optional<PictureRequest>& plot,
                          const std::optional<std::pair<int, int>>& size, unsigned threads) {
    if (plot) plot->threads = threads;
    if (!size) return {};
    if (!plot) return "--plot-size は --plot と一緒に指定してください";
    plot->width = size->first;
    plot->height = size->second;
    return {};
}

// What both commands read besides their own options.
struct SharedState {
    ParameterTexts& machine;
    double& rate;
    std::uint64_t& seed;
    unsigned& threads;
    OutputFormat& format;
    std::optional<PictureRequest>& plot;
    bool& help;
    bool& version;
    std::optional<std::pair<int, int>> plotSize = {};
};

struct StatsState : SharedState {
    SessionsPlan& plan;
    bool settingAll = true;
};

struct EstimateState : SharedState {
    EstimateOptions& options;
    bool games = false, bigs = false, regs = false;
};

template <class State>
using Row = OptionRow<State>;

// The machine's coins, the exchange rate, the seed, the threads, the output and the picture;
// `plotHelp` tells what the command's picture shows.
template <class State>
std::vector<Row<State>> SharedRows(std::string_view plotHelp) {
    using V = std::string_view;
    return {
        {"--normal-base", "X", "通常時の小役期待値/ｐ（既定: -1.5603781019）",
         [](State& s, V n, V v, std::string& e) {
             return NumberText(n, v, s.machine.TexN_BASE, e);
         }},
        {"--ar-base", "X", "ＡＲ中の小役期待値/ｐ（既定: 1.5842163960）",
         [](State& s, V n, V v, std::string& e) {
             return NumberText(n, v, s.machine.TexAR_BASE, e);
         }},
        {"--nbig-coins", "X", "ノーマルＢＩＧ獲得枚数（既定: 401.650）",
         [](State& s, V n, V v, std::string& e) { return NumberText(n, v, s.machine.TexNBIG, e); }},
        {"--hbig-coins", "X", "ハイパーＢＩＧ獲得枚数（既定: 548.011）",
         [](State& s, V n, V v, std::string& e) { return NumberText(n, v, s.machine.TexHBIG, e); }},
        {"--reg-coins", "X", "ＲＥＧ獲得枚数（既定: 127.000）",
         [](State& s, V n, V v, std::string& e) {
             return NumberText(n, v, s.machine.TexREGOUT, e);
         }},
        {"--rate", "X", "換金率 枚/100円（既定: 5）",
         [](State& s, V, V v, std::string& e) {
             const auto r = ParseWholeNumber(v);
             if (r && std::isfinite(*r) && *r > 0) {
                 s.rate = *r;
                 return true;
             }
             e = Concat("--rate には 0 より大きい数値（枚/100円）を指定してください: ", Quote(v));
             return false;
         }},
        {"--seed", "N", "乱数の種（既定: 時計から。毎回表示するので同じ結果を再現できます）",
         [](State& s, V, V v, std::string& e) {
             if (const std::optional<std::uint64_t> seed = ReadSeed(v)) {
                 s.seed = *seed;
                 return true;
             }
             e = Concat("--seed には 0 から 18446744073709551615 までの整数を指定してください: ",
                        Quote(v));
             return false;
         }},
        {"--threads", "N", "スレッド数（既定: すべてのコア。結果はスレッド数によらず同じ）",
         [](State& s, V n, V v, std::string& e) {
             const auto threads = Integer(n, v, 1, 1024, e);
             if (threads) s.threads = static_cast<unsigned>(*threads);
             return threads.has_value();
         }},
        {"--format", "text|csv|json", "出力形式（既定: text）",
         [](State& s, V, V v, std::string& e) {
             if (v == "text" || v == "csv" || v == "json") {
                 s.format = v == "text"  ? OutputFormat::Text
                            : v == "csv" ? OutputFormat::Csv
                                         : OutputFormat::Json;
                 return true;
             }
             e = Concat("--format には text、csv、json のいずれかを指定してください: ", Quote(v));
             return false;
         }},
        {"--plot", "FILE", plotHelp,
         [](State& s, V, V v, std::string& e) { return ReadPlot(v, s.plot, e); }},
        {"--plot-size", "WxH", "図の大きさ（既定: 1600x1000 ピクセル）",
         [](State& s, V, V v, std::string& e) { return ReadPlotSize(v, s.plotSize, e); }},
        {"--version", "", "版を表示",
         [](State& s, V, V, std::string&) { return s.version = true; }},
        {"--help", "", "この説明", [](State& s, V, V, std::string&) { return s.help = true; },
         "-h"},
    };
}

// Rows of a command's own options, then the shared ones.
template <class State>
std::vector<Row<State>> Table(std::vector<Row<State>> own, std::string_view plotHelp) {
    for (Row<State>& row : SharedRows<State>(plotHelp)) own.push_back(row);
    return own;
}

const std::vector<Row<StatsState>>& StatsTable() {
    using V = std::string_view;
    using S = StatsState;
    static const std::vector<Row<S>> table = Table<S>(
        {
            {"--setting", "1..6|all", "設定（既定: all、全設定を並べて表示）",
             [](S& s, V n, V v, std::string& e) {
                 if (v == "all") {
                     s.plan.settings = {1, 2, 3, 4, 5, 6};
                     s.settingAll = true;
                     return true;
                 }
                 if (const auto setting = Integer(n, v, 1, 6, e)) {
                     s.plan.settings = {static_cast<int>(*setting)};
                     s.settingAll = false;
                     return true;
                 }
                 e = Concat("--setting には 1 から 6 または all を指定してください: ", Quote(v));
                 return false;
             }},
            {"--big", "X", "ＢＩＧ確率（1/X、または 1 未満なら確率そのもの）。設定の値を置き換える",
             [](S& s, V n, V v, std::string& e) {
                 return NumberText(n, v, s.plan.big.emplace(), e);
             }},
            {"--reg", "X", "ＲＥＧ確率（--big と同じ形）。設定の値を置き換える",
             [](S& s, V n, V v, std::string& e) {
                 return NumberText(n, v, s.plan.reg.emplace(), e);
             }},
            {"--games", "N", "1セッションのゲーム数（既定: 8000）",
             [](S& s, V, V v, std::string& e) {
                 // As the main window reads its game count: rounded, halves to even.
                 const std::optional<double> number = ParseWholeNumber(v);
                 const std::optional<std::int32_t> games = number ? ToLong(*number) : std::nullopt;
                 if (games && *games >= 1) {
                     s.plan.games = *games;
                     return true;
                 }
                 e = Concat("--games には 1 から 2147483647 までのゲーム数を指定してください: ",
                            Quote(v));
                 return false;
             }},
            {"--sessions", "N",
             "セッション数（既定: 10000。メモリに収まらない数は実行前に断ります）",
             [](S& s, V n, V v, std::string& e) {
                 const auto sessions = Integer(n, v, 1, kMaxSessions, e);
                 if (sessions) s.plan.sessions = *sessions;
                 return sessions.has_value();
             }},
        },
        "設定ごとの差枚数の推移と収支の分布を図にして書く（.png か .svg）");
    return table;
}

constexpr std::int64_t kMaxCount = std::numeric_limits<std::int32_t>::max();

// A count of the estimate: a whole number from `low`, into `target`, marked as given.
bool ReadCount(std::string_view name, std::string_view v, std::int64_t low, std::int64_t high,
               std::int64_t& target, bool& given, std::string& error) {
    const auto n = Integer(name, v, low, high, error);
    if (n) target = *n, given = true;
    return n.has_value();
}

const std::vector<Row<EstimateState>>& EstimateTable() {
    using V = std::string_view;
    using S = EstimateState;
    static const std::vector<Row<S>> table = Table<S>(
        {
            {"--games", "G", "打ったゲーム数（通常時とＡＲ中の合計）。必須",
             [](S& s, V n, V v, std::string& e) {
                 return ReadCount(n, v, 1, kMaxCount, s.options.input.games, s.games, e);
             }},
            {"--big", "B", "払い出されたＢＩＧの回数（カウンターの表示）。必須",
             [](S& s, V n, V v, std::string& e) {
                 return ReadCount(n, v, 0, kMaxCount, s.options.input.bigs, s.bigs, e);
             }},
            {"--reg", "R", "払い出されたＲＥＧの回数（カウンターの表示）。必須",
             [](S& s, V n, V v, std::string& e) {
                 return ReadCount(n, v, 0, kMaxCount, s.options.input.regs, s.regs, e);
             }},
            {"--hbig", "H", "ＢのうちハイパーＢＩＧの回数（分かれば）",
             [](S& s, V n, V v, std::string& e) {
                 bool given = false;
                 return ReadCount(n, v, 0, kMaxCount, s.options.input.hyperBigs.emplace(), given,
                                  e);
             }},
            {"--ar-games", "A", "ＡＲ中に打ったゲーム数（分かれば）",
             [](S& s, V n, V v, std::string& e) {
                 bool given = false;
                 return ReadCount(n, v, 0, kMaxCount, s.options.input.arGames.emplace(), given, e);
             }},
            {"--prior", "W1,...,W6", "設定1～6の事前の重み（既定: すべて等しい）",
             [](S& s, V, V v, std::string& e) {
                 std::size_t count = 0;
                 for (std::size_t start = 0; start <= v.size(); ++count) {
                     const std::size_t comma = std::min(v.find(',', start), v.size());
                     const std::optional<double> w =
                         ParseWholeNumber(v.substr(start, comma - start));
                     if (!w || !std::isfinite(*w) || *w < 0 || count >= kSettings) {
                         e = Concat("--prior には設定1から6の重みを 0 以上の数 6 つで、",
                                    "コンマで区切って指定してください: ", Quote(v));
                         return false;
                     }
                     s.options.input.prior[count] = *w;
                     start = comma + 1;
                 }
                 if (count != kSettings) {
                     e = Concat("--prior には重みを 6 つ指定してください: ", Quote(v));
                     return false;
                 }
                 return true;
             }},
            {"--remaining", "N", "この先打つつもりのゲーム数（既定: 0、見込みを出さない）",
             [](S& s, V n, V v, std::string& e) {
                 bool given = false;
                 return ReadCount(n, v, 0, kMaxRemaining, s.options.input.remaining, given, e);
             }},
        },
        "事後確率の棒グラフと、この先の差枚数の見込みを図にして書く（.png か .svg）");
    return table;
}

}  // namespace

ParsedOptions ParseStatsOptions(std::span<const std::string_view> args, std::uint64_t clockSeed,
                                unsigned cores) {
    StatsOptions o;
    SessionsPlan& plan = o.plan;
    plan.seed = clockSeed;
    plan.threads = cores == 0 ? 1 : cores;
    StatsState state{
        {plan.parameters, plan.rate, plan.seed, plan.threads, o.format, o.plot, o.help, o.version},
        plan};
    if (std::string e = ReadOptions<StatsState>(args, StatsTable(), state); !e.empty()) {
        return {std::nullopt, e};
    }
    if (std::string e = ApplyPlotSize(o.plot, state.plotSize, plan.threads); !e.empty()) {
        return {std::nullopt, e};
    }
    if (o.plot) plan.curvePoints = CurvePoints(o.plot->width, plan.settings.size());
    if (state.settingAll && (plan.big || plan.reg)) {
        return {std::nullopt, "--big と --reg は --setting で設定を一つ選んだときだけ使えます"};
    }
    return {o, {}};
}

ParsedEstimate ParseEstimateOptions(std::span<const std::string_view> args, std::uint64_t clockSeed,
                                    unsigned cores) {
    EstimateOptions o;
    EstimateInput& in = o.input;
    in.seed = clockSeed;
    o.threads = cores == 0 ? 1 : cores;
    EstimateState state{
        {in.machine, in.rate, in.seed, o.threads, o.format, o.plot, o.help, o.version}, o};
    if (std::string e = ReadOptions<EstimateState>(args, EstimateTable(), state); !e.empty()) {
        return {std::nullopt, e};
    }
    if (o.help || o.version) return {o, {}};
    if (std::string e = ApplyPlotSize(o.plot, state.plotSize, o.threads); !e.empty()) {
        return {std::nullopt, e};
    }
    if (!state.games || !state.bigs || !state.regs) {
        return {std::nullopt, "--games、--big、--reg は必ず指定してください（--help で一覧）"};
    }
    if (const auto refused = CheckEstimateInput(in)) return {std::nullopt, *refused};
    return {o, {}};
}

std::string MemoryRefusal(std::int64_t sessions, std::uint64_t needed, std::uint64_t available) {
    // One decimal, or as many more as tell the two figures apart.
    int decimals = 1;
    const auto gigabytes = [&decimals](std::uint64_t bytes) {
        return Concat(FixedNumber(static_cast<double>(bytes) / 1e9, decimals), " GB");
    };
    while (decimals < 3 && gigabytes(needed) == gigabytes(available)) ++decimals;
    return Concat("--sessions ", std::to_string(sessions), " には約 ", gigabytes(needed),
                  " のメモリが必要ですが、使えるのは約 ", gigabytes(available), " です。");
}

const std::string& StatsUsage() {
    static const std::string usage = Concat(
        R"(使い方: taviro-stats [オプション]
      taviro-stats estimate --games G --big B --reg R [オプション]
多数のセッション（1セッション = 1回のシミュレート）を打ち、設定ごとの出玉と収支の分布を示します。

)",
        OptionsHelp<StatsState>(StatsTable()),
        R"(
taviro-stats estimate --games G --big B --reg R [オプション] で、打った台の回数から
設定を推定します（taviro-stats estimate --help で説明）。

Ctrl-C で中断すると、それまでに終わったセッションの集計を表示します（終了コード 130）。
オプションの誤りは終了コード 2 です。
)");
    return usage;
}

const std::string& EstimateUsage() {
    static const std::string usage = Concat(
        R"(使い方: taviro-stats estimate --games G --big B --reg R [オプション]
打った台の回数から、設定ごとの確率（事後確率）と、この先の見込みを示します。

)",
        OptionsHelp<EstimateState>(EstimateTable()),
        R"(
この先の見込みは、設定と台の状態（ストック中のボーナス、途中のＡＲ）を事後分布から
引いて打ち続けたシミュレーションです。入力の誤りは終了コード 2 です。
)");
    return usage;
}

}  // namespace taviro::stats
