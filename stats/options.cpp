#include "stats/options.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "core/numbers.h"
#include "stats/concat.h"

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

// The options both commands share: the machine's coins, the exchange rate, the seed, the
// threads and the output form. Returns false when `name` is none of them.
struct SharedTargets {
    ParameterTexts& parameters;
    double& rate;
    std::uint64_t& seed;
    unsigned& threads;
    OutputFormat& format;
    std::optional<PictureRequest>& plot;
    std::optional<std::pair<int, int>>& plotSize;
};

bool IsShared(std::string_view name) {
    return name == "--normal-base" || name == "--ar-base" || name == "--nbig-coins" ||
           name == "--hbig-coins" || name == "--reg-coins" || name == "--rate" ||
           name == "--seed" || name == "--threads" || name == "--format" || name == "--plot" ||
           name == "--plot-size";
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

// Reads one shared option's value; false, with the error line, when it is not valid.
bool ReadShared(std::string_view name, std::string_view v, SharedTargets t, std::string& error) {
    if (name == "--plot") return ReadPlot(v, t.plot, error);
    if (name == "--plot-size") return ReadPlotSize(v, t.plotSize, error);
    if (name == "--normal-base") return NumberText(name, v, t.parameters.TexN_BASE, error);
    if (name == "--ar-base") return NumberText(name, v, t.parameters.TexAR_BASE, error);
    if (name == "--nbig-coins") return NumberText(name, v, t.parameters.TexNBIG, error);
    if (name == "--hbig-coins") return NumberText(name, v, t.parameters.TexHBIG, error);
    if (name == "--reg-coins") return NumberText(name, v, t.parameters.TexREGOUT, error);
    if (name == "--threads") {
        const auto n = Integer(name, v, 1, 1024, error);
        if (n) t.threads = static_cast<unsigned>(*n);
        return n.has_value();
    }
    if (name == "--rate") {
        const auto r = ParseWholeNumber(v);
        if (r && std::isfinite(*r) && *r > 0) {
            t.rate = *r;
            return true;
        }
        error = Concat("--rate には 0 より大きい数値（枚/100円）を指定してください: ", Quote(v));
        return false;
    }
    if (name == "--seed") {
        std::uint64_t seed = 0;
        const char* end = v.data() + v.size();
        const auto result = std::from_chars(v.data(), end, seed);
        if (!v.empty() && result.ec == std::errc() && result.ptr == end) {
            t.seed = seed;
            return true;
        }
        error = Concat("--seed には 0 から 18446744073709551615 までの整数を指定してください: ",
                       Quote(v));
        return false;
    }
    // --format
    if (v == "text" || v == "csv" || v == "json") {
        t.format = v == "text"  ? OutputFormat::Text
                   : v == "csv" ? OutputFormat::Csv
                                : OutputFormat::Json;
        return true;
    }
    error = Concat("--format には text、csv、json のいずれかを指定してください: ", Quote(v));
    return false;
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

std::string Unknown(std::string_view name) {
    return Concat("不明なオプションです: ", Quote(name), "（--help で一覧）");
}

// Walks the arguments: --help, then each option that `known` accepts with its value
// ("--name value" or "--name=value"), handed to `read`, which returns false with an error line.
template <class Known, class Read>
std::string WalkOptions(std::span<const std::string_view> args, bool& help, bool& version,
                        const Known& known, const Read& read) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view name = args[i];
        std::optional<std::string_view> value;
        if (const auto eq = name.find('=');
            name.starts_with("--") && eq != std::string_view::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
        if (name == "--help" || name == "-h") {
            help = true;
            continue;
        }
        if (name == "--version") {
            version = true;
            continue;
        }
        if (!known(name)) return Unknown(name);
        if (!value) {
            if (i + 1 >= args.size()) return Concat(name, " には値が必要です");
            value = args[++i];
        }
        std::string error;
        if (!read(name, *value, error)) return error;
    }
    return {};
}

}  // namespace

ParameterTexts TextsForSetting(const StatsOptions& options, int setting) {
    ParameterTexts texts = options.parameters;
    const PresetTexts& preset = kSettingPresets[static_cast<std::size_t>(setting - 1)];
    texts.TexBIG = options.big.value_or(std::string(preset.big));
    texts.TexREG = options.reg.value_or(std::string(preset.reg));
    texts.TexGAME = std::to_string(options.games);
    return texts;
}

ParsedOptions ParseStatsOptions(std::span<const std::string_view> args, std::uint64_t clockSeed,
                                unsigned cores) {
    StatsOptions o;
    o.seed = clockSeed;
    o.threads = cores == 0 ? 1 : cores;
    bool settingAll = true;
    std::optional<std::pair<int, int>> plotSize;
    SharedTargets shared{o.parameters, o.rate, o.seed, o.threads, o.format, o.plot, plotSize};
    const auto known = [](std::string_view name) {
        return IsShared(name) || name == "--setting" || name == "--big" || name == "--reg" ||
               name == "--games" || name == "--sessions";
    };
    const std::string error = WalkOptions(
        args, o.help, o.version, known,
        [&](std::string_view name, std::string_view v, std::string& error) {
            if (IsShared(name)) return ReadShared(name, v, shared, error);
            if (name == "--setting") {
                if (v == "all") {
                    o.settings = {1, 2, 3, 4, 5, 6};
                    settingAll = true;
                } else if (const auto s = Integer(name, v, 1, 6, error)) {
                    o.settings = {static_cast<int>(*s)};
                    settingAll = false;
                } else {
                    error =
                        Concat("--setting には 1 から 6 または all を指定してください: ", Quote(v));
                    return false;
                }
                return true;
            }
            if (name == "--big") {
                o.big.emplace();
                return NumberText(name, v, *o.big, error);
            }
            if (name == "--reg") {
                o.reg.emplace();
                return NumberText(name, v, *o.reg, error);
            }
            if (name == "--games") {
                // As the main window reads its game count: rounded, halves to even.
                const std::optional<double> number = ParseWholeNumber(v);
                const std::optional<std::int32_t> games = number ? ToLong(*number) : std::nullopt;
                if (games && *games >= 1) {
                    o.games = *games;
                    return true;
                }
                error = Concat("--games には 1 から 2147483647 までのゲーム数を指定してください: ",
                               Quote(v));
                return false;
            }
            const auto n = Integer(name, v, 1, kMaxSessions, error);  // --sessions
            if (n) o.sessions = *n;
            return n.has_value();
        });
    if (!error.empty()) return {std::nullopt, error};
    if (std::string e = ApplyPlotSize(o.plot, plotSize, o.threads); !e.empty()) {
        return {std::nullopt, e};
    }
    if (settingAll && (o.big || o.reg)) {
        return {std::nullopt, "--big と --reg は --setting で設定を一つ選んだときだけ使えます"};
    }
    return {o, {}};
}

ParsedEstimate ParseEstimateOptions(std::span<const std::string_view> args, std::uint64_t clockSeed,
                                    unsigned cores) {
    EstimateOptions o;
    EstimateInput& in = o.input;
    in.seed = clockSeed;
    in.threads = cores == 0 ? 1 : cores;
    bool games = false, bigs = false, regs = false;
    std::optional<std::pair<int, int>> plotSize;
    SharedTargets shared{in.machine, in.rate, in.seed, in.threads, o.format, o.plot, plotSize};
    constexpr std::int64_t kMaxCount = std::numeric_limits<std::int32_t>::max();
    const auto known = [](std::string_view name) {
        return IsShared(name) || name == "--games" || name == "--big" || name == "--reg" ||
               name == "--hbig" || name == "--ar-games" || name == "--prior" ||
               name == "--remaining";
    };
    const std::string error = WalkOptions(
        args, o.help, o.version, known,
        [&](std::string_view name, std::string_view v, std::string& error) {
            if (IsShared(name)) return ReadShared(name, v, shared, error);
            if (name == "--prior") {
                std::size_t count = 0;
                for (std::size_t start = 0; start <= v.size(); ++count) {
                    const std::size_t comma = std::min(v.find(',', start), v.size());
                    const std::optional<double> w =
                        ParseWholeNumber(v.substr(start, comma - start));
                    if (!w || !std::isfinite(*w) || *w < 0 || count >= kSettings) {
                        error = Concat("--prior には設定1から6の重みを 0 以上の数 6 つで、",
                                       "コンマで区切って指定してください: ", Quote(v));
                        return false;
                    }
                    in.prior[count] = *w;
                    start = comma + 1;
                }
                if (count != kSettings) {
                    error = Concat("--prior には重みを 6 つ指定してください: ", Quote(v));
                    return false;
                }
                return true;
            }
            const std::int64_t high = name == "--remaining" ? kMaxRemaining : kMaxCount;
            const auto n = Integer(name, v, name == "--games" ? 1 : 0, high, error);
            if (!n) return false;
            if (name == "--games") {
                in.games = *n;
                games = true;
            } else if (name == "--big") {
                in.bigs = *n;
                bigs = true;
            } else if (name == "--reg") {
                in.regs = *n;
                regs = true;
            }
            if (name == "--hbig") in.hyperBigs = *n;
            if (name == "--ar-games") in.arGames = *n;
            if (name == "--remaining") in.remaining = *n;
            return true;
        });
    if (!error.empty()) return {std::nullopt, error};
    if (o.help || o.version) return {o, {}};
    if (std::string e = ApplyPlotSize(o.plot, plotSize, in.threads); !e.empty()) {
        return {std::nullopt, e};
    }
    if (!games || !bigs || !regs) {
        return {std::nullopt, "--games、--big、--reg は必ず指定してください（--help で一覧）"};
    }
    if (const auto refused = CheckEstimateInput(in)) return {std::nullopt, *refused};
    return {o, {}};
}

std::string_view StatsUsage() {
    return R"(使い方: taviro-stats [オプション]
      taviro-stats estimate --games G --big B --reg R [オプション]
多数のセッション（1セッション = 1回のシミュレート）を打ち、設定ごとの出玉と収支の分布を示します。

  --setting 1..6|all   設定（既定: all、全設定を並べて表示）
  --big X, --reg X     ＢＩＧ確率・ＲＥＧ確率（1/X、または 1 未満なら確率そのもの）。設定の値を置き換える
  --games N            1セッションのゲーム数（既定: 8000）
  --normal-base X      通常時の小役期待値/ｐ（既定: -1.5603781019）
  --ar-base X          ＡＲ中の小役期待値/ｐ（既定: 1.5842163960）
  --nbig-coins X       ノーマルＢＩＧ獲得枚数（既定: 401.650）
  --hbig-coins X       ハイパーＢＩＧ獲得枚数（既定: 548.011）
  --reg-coins X        ＲＥＧ獲得枚数（既定: 127.000）
  --sessions N         セッション数（既定: 10000。メモリに収まらない数は実行前に断ります）
  --rate X             換金率 枚/100円（既定: 5）
  --seed N             乱数の種（既定: 時計から。毎回表示するので同じ結果を再現できます）
  --threads N          スレッド数（既定: すべてのコア。結果はスレッド数によらず同じ）
  --format text|csv|json  出力形式（既定: text）
  --plot FILE          設定ごとの差枚数の推移と収支の分布を図にして書く（.png か .svg）
  --plot-size WxH      図の大きさ（既定: 1600x1000 ピクセル）
  --version            版を表示
  --help               この説明

taviro-stats estimate --games G --big B --reg R [オプション] で、打った台の回数から
設定を推定します（taviro-stats estimate --help で説明）。

Ctrl-C で中断すると、それまでに終わったセッションの集計を表示します（終了コード 130）。
オプションの誤りは終了コード 2 です。
)";
}

std::string_view EstimateUsage() {
    return R"(使い方: taviro-stats estimate --games G --big B --reg R [オプション]
打った台の回数から、設定ごとの確率（事後確率）と、この先の見込みを示します。

  --games G            打ったゲーム数（通常時とＡＲ中の合計）
  --big B, --reg R     払い出されたＢＩＧ・ＲＥＧの回数（カウンターの表示）
  --hbig H             ＢのうちハイパーＢＩＧの回数（分かれば）
  --ar-games A         ＡＲ中に打ったゲーム数（分かれば）
  --prior W1,...,W6    設定1～6の事前の重み（既定: すべて等しい）
  --remaining N        この先打つつもりのゲーム数（既定: 0、見込みを出さない）
  --normal-base X 等   台の期待値（taviro-stats --help と同じ）
  --rate X             換金率 枚/100円（既定: 5）
  --seed N             乱数の種（既定: 時計から。同じ種なら同じ結果）
  --threads N          スレッド数（既定: すべてのコア。結果はスレッド数によらず同じ）
  --format text|csv|json  出力形式（既定: text）
  --plot FILE          事後確率の棒グラフと、この先の差枚数の見込みを図にして書く（.png か .svg）
  --plot-size WxH      図の大きさ（既定: 1600x1000 ピクセル）
  --version            版を表示
  --help               この説明

この先の見込みは、設定と台の状態（ストック中のボーナス、途中のＡＲ）を事後分布から
引いて打ち続けたシミュレーションです。入力の誤りは終了コード 2 です。
)";
}

}  // namespace taviro::stats
