#include "stats/options.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "core/numbers.h"
#include "stats/concat.h"

namespace taviro::stats {

namespace {

// Every session keeps its figures for the percentiles: about 50 bytes each.
constexpr std::int64_t kMaxSessions = 10'000'000;

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
    std::string error;
    bool settingAll = true;

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view name = args[i];
        std::optional<std::string_view> inlineValue;
        if (const auto eq = name.find('=');
            name.starts_with("--") && eq != std::string_view::npos) {
            inlineValue = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
        if (name == "--help" || name == "-h") {
            o.help = true;
            continue;
        }
        if (name == "--version") {
            o.version = true;
            continue;
        }
        auto value = [&]() -> std::optional<std::string_view> {
            if (inlineValue) return inlineValue;
            if (i + 1 < args.size()) return args[++i];
            error = Concat(name, " には値が必要です");
            return std::nullopt;
        };
        const bool known = name == "--setting" || name == "--big" || name == "--reg" ||
                           name == "--games" || name == "--normal-base" || name == "--ar-base" ||
                           name == "--nbig-coins" || name == "--hbig-coins" ||
                           name == "--reg-coins" || name == "--sessions" || name == "--rate" ||
                           name == "--seed" || name == "--threads" || name == "--format";
        if (!known)
            return {std::nullopt,
                    Concat("不明なオプションです: ", Quote(name), "（--help で一覧）")};
        const auto v = value();
        if (!v) return {std::nullopt, error};

        bool ok = true;
        if (name == "--setting") {
            if (*v == "all") {
                o.settings = {1, 2, 3, 4, 5, 6};
                settingAll = true;
            } else if (const auto s = Integer(name, *v, 1, 6, error)) {
                o.settings = {static_cast<int>(*s)};
                settingAll = false;
            } else {
                error =
                    Concat("--setting には 1 から 6 または all を指定してください: ", Quote(*v));
                ok = false;
            }
        } else if (name == "--big") {
            o.big.emplace();
            ok = NumberText(name, *v, *o.big, error);
        } else if (name == "--reg") {
            o.reg.emplace();
            ok = NumberText(name, *v, *o.reg, error);
        } else if (name == "--normal-base") {
            ok = NumberText(name, *v, o.parameters.TexN_BASE, error);
        } else if (name == "--ar-base") {
            ok = NumberText(name, *v, o.parameters.TexAR_BASE, error);
        } else if (name == "--nbig-coins") {
            ok = NumberText(name, *v, o.parameters.TexNBIG, error);
        } else if (name == "--hbig-coins") {
            ok = NumberText(name, *v, o.parameters.TexHBIG, error);
        } else if (name == "--reg-coins") {
            ok = NumberText(name, *v, o.parameters.TexREGOUT, error);
        } else if (name == "--games") {
            // As the main window reads its game count: rounded, halves to even.
            const std::optional<double> number = ParseWholeNumber(*v);
            const std::optional<std::int32_t> games = number ? ToLong(*number) : std::nullopt;
            ok = games && *games >= 1;
            if (ok)
                o.games = *games;
            else
                error = Concat("--games には 1 から 2147483647 までのゲーム数を指定してください: ",
                               Quote(*v));
        } else if (name == "--sessions") {
            const auto n = Integer(name, *v, 1, kMaxSessions, error);
            ok = n.has_value();
            if (ok) o.sessions = *n;
        } else if (name == "--threads") {
            const auto n = Integer(name, *v, 1, 1024, error);
            ok = n.has_value();
            if (ok) o.threads = static_cast<unsigned>(*n);
        } else if (name == "--rate") {
            const auto r = ParseWholeNumber(*v);
            ok = r && std::isfinite(*r) && *r > 0;
            if (ok)
                o.rate = *r;
            else
                error = Concat("--rate には 0 より大きい数値（枚/100円）を指定してください: ",
                               Quote(*v));
        } else if (name == "--seed") {
            std::uint64_t seed = 0;
            const char* end = v->data() + v->size();
            const auto result = std::from_chars(v->data(), end, seed);
            ok = !v->empty() && result.ec == std::errc() && result.ptr == end;
            if (ok)
                o.seed = seed;
            else
                error = "--seed には 0 から 18446744073709551615 までの整数を指定してください: " +
                        Quote(*v);
        } else if (name == "--format") {
            if (*v == "text")
                o.format = OutputFormat::Text;
            else if (*v == "csv")
                o.format = OutputFormat::Csv;
            else if (*v == "json")
                o.format = OutputFormat::Json;
            else {
                error = Concat("--format には text、csv、json のいずれかを指定してください: ",
                               Quote(*v));
                ok = false;
            }
        }
        if (!ok) return {std::nullopt, error};
    }
    if (settingAll && (o.big || o.reg)) {
        return {std::nullopt, "--big と --reg は --setting で設定を一つ選んだときだけ使えます"};
    }
    return {o, {}};
}

std::string_view StatsUsage() {
    return R"(使い方: taviro-stats [オプション]
多数のセッション（1セッション = 1回のシミュレート）を打ち、設定ごとの出玉と収支の分布を示します。

  --setting 1..6|all   設定（既定: all、全設定を並べて表示）
  --big X, --reg X     ＢＩＧ確率・ＲＥＧ確率（1/X、または 1 未満なら確率そのもの）。設定の値を置き換える
  --games N            1セッションのゲーム数（既定: 8000）
  --normal-base X      通常時の小役期待値/ｐ（既定: -1.5603781019）
  --ar-base X          ＡＲ中の小役期待値/ｐ（既定: 1.5842163960）
  --nbig-coins X       ノーマルＢＩＧ獲得枚数（既定: 401.650）
  --hbig-coins X       ハイパーＢＩＧ獲得枚数（既定: 548.011）
  --reg-coins X        ＲＥＧ獲得枚数（既定: 127.000）
  --sessions N         セッション数（既定: 10000、最大 10000000）
  --rate X             換金率 枚/100円（既定: 5）
  --seed N             乱数の種（既定: 時計から。毎回表示するので同じ結果を再現できます）
  --threads N          スレッド数（既定: すべてのコア。結果はスレッド数によらず同じ）
  --format text|csv|json  出力形式（既定: text）
  --version            版を表示
  --help               この説明

Ctrl-C で中断すると、それまでに終わったセッションの集計を表示します（終了コード 130）。
オプションの誤りは終了コード 2 です。
)";
}

}  // namespace taviro::stats
