#include "estimation/estimate_report.h"

#include <cmath>
#include <cstdio>

#include "core/concat.h"
#include "core/decimal_chars.h"
#include "core/number_text.h"
#include "core/numbers.h"

namespace taviro::stats {

namespace {

std::optional<double> Finite(double x) {
    return std::isfinite(x) ? std::optional<double>(x) : std::nullopt;
}

std::optional<double> Count(const std::optional<std::int64_t>& n) {
    if (!n) return std::nullopt;
    return static_cast<double>(*n);
}

void AddSpread(std::vector<EstimateFigure>& f, const std::string& prefix, const Distribution& d) {
    const std::pair<const char*, double> values[] = {
        {"mean", d.mean}, {"ahead_share", d.aheadShare},
        {"p5", d.p5},     {"p25", d.p25},
        {"p50", d.p50},   {"p75", d.p75},
        {"p95", d.p95}};
    for (const auto& [name, value] : values)
        f.push_back({Concat(prefix, "_", name), Finite(value)});
}

// Three significant digits, in plain or exponent form.
std::string Significant(double x) {
    if (!std::isfinite(x)) return "-";
    char text[32];
    return std::string(text, GeneralChars(text, text + sizeof text, x, 3));
}

std::string Games(const std::optional<double>& games) {
    return games ? RoundedNumber(*games, 0) : Concat(std::to_string(kKnowHorizon), "超");
}

std::string Text(const EstimateInput& in, const EstimateAnswer& a) {
    std::string out = Concat("taviro-stats estimate  シード ", std::to_string(in.seed), "\n");
    out += Concat(std::to_string(in.games), "ゲーム  ＢＩＧ ", std::to_string(in.bigs),
                  "回  ＲＥＧ ", std::to_string(in.regs), "回");
    if (in.hyperBigs) out += Concat("  うちハイパー ", std::to_string(*in.hyperBigs), "回");
    if (in.arGames) out += Concat("  ＡＲ ", std::to_string(*in.arGames), "ゲーム");
    out += "\n";
    out += Concat("ＢＩＧ確率 ", OneIn(a.big.x), "（95%区間 ", OneIn(a.big.high), "～",
                  OneIn(a.big.low), "）\n");
    out += Concat("ＲＥＧ確率 ", OneIn(a.reg.x), "（95%区間 ", OneIn(a.reg.high), "～",
                  OneIn(a.reg.low), "）\n\n");

    out += "設定  事前確率  事後確率  ベイズ因子(対設定1)  長期ＰＡＹＯＵＴ(%)\n";
    for (std::size_t s = 0; s < kSettings; ++s) {
        out +=
            Concat(PadLeft(std::to_string(s + 1), 4), PadLeft(Percent(a.prior[s]), 10),
                   PadLeft(Percent(a.posterior[s]), 10), PadLeft(Significant(a.bayesFactor[s]), 21),
                   PadLeft(FixedNumber(a.payoutBySetting[s], 2), 21), "\n");
    }
    out += Concat("設定4以上 ", Percent(a.atLeast4), "   設定5・6 ", Percent(a.fiveOrSix),
                  "   期待設定 ", FixedNumber(a.expectedSetting, 2), "\n");
    out += Concat("長期ＰＡＹＯＵＴ（事後分布での期待値） ", FixedNumber(a.payout, 2), "%\n");
    double worst = 0;
    for (double se : a.posteriorSe) worst = std::max(worst, se);
    if (a.exact) {
        out += "（事後確率は台の進み方をすべて足した厳密な値で、誤差はありません）\n";
    } else {
        out += Concat("（事後確率のシミュレーション誤差 最大 ±", FixedNumber(worst * 100, 2), "%、",
                      std::to_string(a.orders), " 通りの並びから）\n");
    }
    if (a.roughPosterior) {
        out += Concat("（まれな組み合わせのため誤差を ±", FixedNumber(kPosteriorSeLimit * 100, 0),
                      "% 未満にできませんでした。事後確率は目安です）\n");
    }

    if (a.projection) {
        const Projection& p = *a.projection;
        out += Concat("\nこの先 ", std::to_string(in.remaining), "ゲーム（設定と台の状態を事後分布",
                      "から引いて ", std::to_string(kContinuations), " 通り）\n");
        out += Concat(PadRight("", 11), PadLeft("平均", 9), PadLeft("勝つ確率", 10),
                      PadLeft("5%点", 9), PadLeft("25%点", 9), PadLeft("中央値", 9),
                      PadLeft("75%点", 9), PadLeft("95%点", 9), "\n");
        auto row = [&](const char* heading, const Distribution& d, int decimals) {
            return Concat(
                PadRight(heading, 11), PadLeft(FixedNumber(d.mean, decimals), 9),
                PadLeft(Percent(d.aheadShare), 10), PadLeft(FixedNumber(d.p5, decimals), 9),
                PadLeft(FixedNumber(d.p25, decimals), 9), PadLeft(FixedNumber(d.p50, decimals), 9),
                PadLeft(FixedNumber(d.p75, decimals), 9), PadLeft(FixedNumber(d.p95, decimals), 9),
                "\n");
        };
        out += row("差枚数", p.coins, 0);
        out += row("収支(千円)", p.kyen, 1);
    }
    if (a.untilKnown) {
        const UntilKnown& k = *a.untilKnown;
        out += "\n判別までのゲーム数（設定5・6の確率が 0.9 を超えるか 0.1 を下回るまで）\n";
        out += Concat("  中央値 ", Games(k.median), "   80%範囲 ", Games(k.p10), "～", Games(k.p90),
                      "\n");
        out += Concat("  0.9を超える ", Percent(k.highShare), "   0.1を下回る ",
                      Percent(k.lowShare), "   ", std::to_string(kKnowHorizon),
                      "ゲームで決まらない ", Percent(k.neitherShare), "\n");
    }
    return out;
}

std::string Csv(const EstimateInput& in, const std::vector<EstimateFigure>& figures) {
    std::string out = Concat("figure,value\nseed,", std::to_string(in.seed), "\n");
    for (const EstimateFigure& f : figures) {
        const std::string key =
            f.setting > 0 ? Concat(f.key, "_", std::to_string(f.setting)) : f.key;
        out += Concat(key, ",", f.value ? FullNumber(*f.value) : std::string(), "\n");
    }
    return out;
}

std::string Json(const EstimateInput& in, const std::vector<EstimateFigure>& figures,
                 const EstimateAnswer& a) {
    std::string out = Concat("{\n  \"seed\": ", std::to_string(in.seed));
    for (std::size_t i = 0; i < figures.size(); ++i) {
        const EstimateFigure& f = figures[i];
        if (f.setting > 1) continue;  // written with the first of its six
        out += Concat(",\n  \"", f.key, "\": ");
        if (f.setting == 0) {
            out += JsonNumber(f.value);
            continue;
        }
        out += "[";
        for (std::size_t s = 0; s < kSettings; ++s) {
            out += Concat(s == 0 ? "" : ", ", JsonNumber(figures[i + s].value));
        }
        out += "]";
    }
    out += ",\n  \"net_coins_bands\": [";
    if (a.projection) {
        const auto& bands = a.projection->bands;
        for (std::size_t i = 0; i < bands.size(); ++i) {
            const Band& b = bands[i];
            out += Concat(i == 0 ? "\n    " : ",\n    ", "{\"games\": ", std::to_string(b.games),
                          ", \"p5\": ", JsonNumber(b.p5), ", \"p25\": ", JsonNumber(b.p25),
                          ", \"p50\": ", JsonNumber(b.p50), ", \"p75\": ", JsonNumber(b.p75),
                          ", \"p95\": ", JsonNumber(b.p95), "}");
        }
        if (!bands.empty()) out += "\n  ";
    }
    out += "]\n}\n";
    return out;
}

}  // namespace

std::vector<EstimateFigure> EstimateFigures(const EstimateInput& in, const EstimateAnswer& a) {
    std::vector<EstimateFigure> f = {
        {"games", static_cast<double>(in.games)},
        {"bigs", static_cast<double>(in.bigs)},
        {"regs", static_cast<double>(in.regs)},
        {"hyper_bigs", Count(in.hyperBigs)},
        {"ar_games", Count(in.arGames)},
        {"remaining", static_cast<double>(in.remaining)},
        {"rate", in.rate},
    };
    const std::pair<const char*, const PerSetting*> perSetting[] = {
        {"prior", &a.prior},
        {"posterior", &a.posterior},
        {"posterior_mc_se", &a.posteriorSe},
        {"bayes_factor_vs_1", &a.bayesFactor},
        {"log_likelihood", &a.logLikelihood},
        {"payout_percent_by_setting", &a.payoutBySetting},
    };
    for (const auto& [key, values] : perSetting) {
        for (std::size_t s = 0; s < kSettings; ++s) {
            f.push_back({key, Finite((*values)[s]), static_cast<int>(s) + 1});
        }
    }
    const std::pair<const char*, double> scalars[] = {
        {"p_setting_4_or_higher", a.atLeast4},
        {"p_setting_5_or_6", a.fiveOrSix},
        {"expected_setting", a.expectedSetting},
        {"payout_percent", a.payout},
        {"big_one_in", a.big.x},
        {"big_one_in_ci95_low", a.big.low},
        {"big_one_in_ci95_high", a.big.high},
        {"reg_one_in", a.reg.x},
        {"reg_one_in_ci95_low", a.reg.low},
        {"reg_one_in_ci95_high", a.reg.high},
        {"orders", static_cast<double>(a.orders)},
        {"matches", static_cast<double>(a.matches)},
        {"posterior_mc_se_over_limit", a.roughPosterior ? 1.0 : 0.0},
    };
    for (const auto& [key, value] : scalars) f.push_back({key, Finite(value)});
    if (a.projection) {
        f.push_back({"continuations", static_cast<double>(kContinuations)});
        AddSpread(f, "net_coins", a.projection->coins);
        AddSpread(f, "net_kyen", a.projection->kyen);
    }
    if (a.untilKnown) {
        const UntilKnown& k = *a.untilKnown;
        f.push_back({"games_until_known_median", k.median});
        f.push_back({"games_until_known_p10", k.p10});
        f.push_back({"games_until_known_p90", k.p90});
        f.push_back({"known_high_share", k.highShare});
        f.push_back({"known_low_share", k.lowShare});
        f.push_back({"known_neither_share", k.neitherShare});
    }
    return f;
}

std::string FormatEstimate(const EstimateInput& input, const EstimateAnswer& answer,
                           OutputFormat format) {
    switch (format) {
        case OutputFormat::Csv:
            return Csv(input, EstimateFigures(input, answer));
        case OutputFormat::Json:
            return Json(input, EstimateFigures(input, answer), answer);
        case OutputFormat::Text:
            break;
    }
    return Text(input, answer);
}

}  // namespace taviro::stats
