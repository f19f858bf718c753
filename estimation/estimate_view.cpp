#include "estimation/estimate_view.h"

#include <cmath>
#include <limits>
#include <utility>

#include "core/concat.h"
#include "core/number_text.h"
#include "core/numbers.h"
#include "estimation/estimate_report.h"

namespace taviro {

namespace {

constexpr std::int64_t kMaxCount = std::numeric_limits<std::int32_t>::max();

// Full-width digits, sign, point and blank (as a Japanese input method types them) as ASCII.
std::string Halfwidth(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
        if (i + 2 < text.size() && byte(0) == 0xEF && byte(1) == 0xBC) {
            const unsigned c = byte(2);
            if (c >= 0x90 && c <= 0x99) {  // ０ to ９
                out += static_cast<char>('0' + (c - 0x90));
                i += 2;
                continue;
            }
            if (c == 0x8B || c == 0x8D || c == 0x8E) {  // ＋ － ．
                out += c == 0x8B ? '+' : c == 0x8D ? '-' : '.';
                i += 2;
                continue;
            }
        }
        if (i + 2 < text.size() && byte(0) == 0xE3 && byte(1) == 0x80 && byte(2) == 0x80) {
            out += ' ';  // the ideographic space
            i += 2;
            continue;
        }
        out += text[i];
    }
    return out;
}

bool Blank(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

// A number typed into a field; nothing, with the reason, when it is none.
std::optional<double> Number(std::string_view typed, std::string& reason) {
    const std::optional<double> x = ParseWholeNumber(Halfwidth(typed));
    if (!x || !std::isfinite(*x)) reason = "数字で入力してください";
    return x && std::isfinite(*x) ? x : std::nullopt;
}

// A count typed into a field, from `low` to `high`.
std::optional<std::int64_t> Count(std::string_view typed, std::int64_t low, std::int64_t high,
                                  std::string& reason) {
    const std::optional<double> x = Number(typed, reason);
    if (!x) return std::nullopt;
    if (*x != std::floor(*x)) {
        reason = "整数で入力してください";
    } else if (*x < static_cast<double>(low)) {
        reason = low == 0 ? "0 以上の数を入力してください" : "1 以上の数を入力してください";
    } else if (*x > static_cast<double>(high)) {
        reason = Concat(std::to_string(high), " 以下の数を入力してください");
    } else {
        return static_cast<std::int64_t>(*x);
    }
    return std::nullopt;
}

// Thousand yen with its sign: "+27.4千円", "-31.2千円".
std::string Kyen(double x) {
    const std::string text = FixedNumber(x, 1);
    return Concat(RoundHalfEven(x, 1) > 0 ? "+" : "", text, "千円");
}

std::string Coins(double x) {
    const std::string text = FixedNumber(x, 0);
    return Concat(RoundHalfEven(x, 0) > 0 ? "+" : "", text, "枚");
}

std::string FrequencyText(const stats::Frequency& f) {
    return Concat(OneIn(f.x), "（95%区間 ", OneIn(f.high), "～", OneIn(f.low), "）");
}

// Further games until the setting is known: a number, or "beyond the horizon".
std::string KnownGames(const std::optional<double>& games) {
    return games ? RoundedNumber(*games, 0) : Concat(std::to_string(stats::kKnowHorizon), "超");
}

bool EqualPrior(const stats::PerSetting& prior) {
    for (double w : prior) {
        if (w != prior[0]) return false;
    }
    return true;
}

}  // namespace

EstimateReading ReadEstimateFields(const EstimateFieldTexts& t,
                                   std::optional<EstimateField> lastEdited) {
    using F = EstimateField;
    EstimateReading reading;
    std::string reason;
    const auto refuse = [&](F field) {
        reading.problem = FieldReason{field, std::move(reason)};
        return reading;
    };
    stats::EstimateInput in;
    in.seed = kWindowSeed;

    // Each field on its own first, in reading order; an empty count the estimate needs is no
    // mistake, only not typed yet.
    bool complete = true;
    const std::pair<const std::string*, F> required[] = {
        {&t.games, F::Games}, {&t.bigs, F::Bigs}, {&t.regs, F::Regs}};
    for (const auto& [text, field] : required) {
        if (Blank(Halfwidth(*text))) {
            complete = false;
            continue;
        }
        const std::int64_t low = field == F::Games ? 1 : 0;
        const std::optional<std::int64_t> n = Count(*text, low, kMaxCount, reason);
        if (!n) return refuse(field);
        (field == F::Games ? in.games : field == F::Bigs ? in.bigs : in.regs) = *n;
    }
    const std::pair<const std::string*, F> known[] = {{&t.hyperBigs, F::HyperBigs},
                                                      {&t.arGames, F::ArGames}};
    for (const auto& [text, field] : known) {
        if (Blank(Halfwidth(*text))) continue;
        const std::optional<std::int64_t> n = Count(*text, 0, kMaxCount, reason);
        if (!n) return refuse(field);
        (field == F::HyperBigs ? in.hyperBigs : in.arGames) = *n;
    }
    if (t.typedPrior) {
        double sum = 0;
        for (std::size_t s = 0; s < t.weights.size(); ++s) {
            const std::string setting = Concat("設定", std::to_string(s + 1), "の重み: ");
            const std::optional<double> w =
                Blank(Halfwidth(t.weights[s])) ? std::nullopt : Number(t.weights[s], reason);
            if (!w || *w < 0) {
                reason = Concat(setting, "0 以上の数を入力してください");
                return refuse(F::Prior);
            }
            in.prior[s] = *w;
            sum += *w;
        }
        if (!(sum > 0) || !std::isfinite(sum)) {
            reason = "重みがすべて 0 です。どれかを 0 より大きくしてください";
            return refuse(F::Prior);
        }
    }
    if (!Blank(Halfwidth(t.remaining))) {
        const std::optional<std::int64_t> n = Count(t.remaining, 0, stats::kMaxRemaining, reason);
        if (!n) return refuse(F::Remaining);
        in.remaining = *n;
    }
    const std::optional<double> rate =
        Blank(Halfwidth(t.rate)) ? std::nullopt : Number(t.rate, reason);
    if (!rate || *rate <= 0) {
        reason = "0 より大きい数（枚/100円）を入力してください";
        return refuse(F::Rate);
    }
    in.rate = *rate;
    if (!complete) return reading;

    // Then the counts together.
    if (std::optional<stats::InputRefusal> refusal = stats::RefuseEstimateInput(in)) {
        F field = refusal->parts.front();
        for (F part : refusal->parts) {
            if (lastEdited == part) field = part;
        }
        reason = std::move(refusal->reason);
        return refuse(field);
    }
    reading.input = in;
    return reading;
}

EstimateTexts TextsOf(const stats::EstimateInput& in, const stats::EstimateAnswer& a) {
    EstimateTexts t;
    t.basis = Concat(std::to_string(in.games), "ゲーム　ＢＩＧ ", std::to_string(in.bigs),
                     "回　ＲＥＧ ", std::to_string(in.regs), "回");
    if (in.hyperBigs) t.basis += Concat("（うちハイパー ", std::to_string(*in.hyperBigs), "回）");
    if (in.arGames) t.basis += Concat("　ＡＲ ", std::to_string(*in.arGames), "ゲーム");
    if (!EqualPrior(in.prior)) {
        t.basis += "　事前の重み ";
        for (std::size_t s = 0; s < in.prior.size(); ++s) {
            t.basis += Concat(s == 0 ? "" : ":", FullNumber(in.prior[s]));
        }
    }
    t.basis += "の推定";

    for (std::size_t s = 0; s < a.posterior.size(); ++s) {
        t.posteriorDescription +=
            Concat(s == 0 ? "" : "、", "設定", std::to_string(s + 1), " ", Percent(a.posterior[s]));
    }
    t.posteriorDescription = Concat("設定ごとの確率：", t.posteriorDescription);
    t.atLeast4 = Percent(a.atLeast4);
    t.fiveOrSix = Percent(a.fiveOrSix);
    t.expectedSetting = FixedNumber(a.expectedSetting, 2);
    t.big = FrequencyText(a.big);
    t.reg = FrequencyText(a.reg);
    t.payout = Concat(FixedNumber(a.payout, 2), "%");

    if (a.projection) {
        const Distribution& k = a.projection->kyen;
        const Distribution& c = a.projection->coins;
        t.projectionTitle = Concat("この先 ", std::to_string(in.remaining), "ゲームの収支（換金率 ",
                                   FullNumber(in.rate), "枚/100円）");
        t.mean = Kyen(k.mean);
        t.ahead = Percent(k.aheadShare);
        t.p5 = Kyen(k.p5);
        t.p50 = Kyen(k.p50);
        t.p95 = Kyen(k.p95);
        t.fanDescription =
            Concat("この先 ", std::to_string(in.remaining), "ゲームの差枚数の見込み：平均 ",
                   Coins(c.mean), "、5%点 ", Coins(c.p5), "、中央値 ", Coins(c.p50), "、95%点 ",
                   Coins(c.p95), "、勝つ確率 ", t.ahead);
    } else {
        t.projectionTitle = kNoProjection;
        t.fanDescription = kNoProjection;
    }
    t.chartDescription = Concat(t.posteriorDescription, "。", t.fanDescription);
    if (a.untilKnown) {
        const stats::UntilKnown& k = *a.untilKnown;
        t.knownMedian = Concat(KnownGames(k.median), "ゲーム");
        t.knownRange = Concat(KnownGames(k.p10), "～", KnownGames(k.p90), "ゲーム");
    }
    return t;
}

std::string EstimateCommand(const stats::EstimateInput& in) {
    std::string command =
        Concat("taviro-stats estimate --games ", std::to_string(in.games), " --big ",
               std::to_string(in.bigs), " --reg ", std::to_string(in.regs));
    if (in.hyperBigs) command += Concat(" --hbig ", std::to_string(*in.hyperBigs));
    if (in.arGames) command += Concat(" --ar-games ", std::to_string(*in.arGames));
    if (!EqualPrior(in.prior)) {
        command += " --prior ";
        for (std::size_t s = 0; s < in.prior.size(); ++s) {
            command += Concat(s == 0 ? "" : ",", FullNumber(in.prior[s]));
        }
    }
    if (in.remaining > 0) command += Concat(" --remaining ", std::to_string(in.remaining));
    return Concat(command, " --rate ", FullNumber(in.rate), " --seed ", std::to_string(in.seed));
}

std::string CopiedText(const stats::EstimateInput& input, const stats::EstimateAnswer& answer) {
    return Concat(stats::FormatEstimate(input, answer, OutputFormat::Text),
                  "\n同じ結果を出すコマンド:\n  ", EstimateCommand(input), "\n");
}

std::string EstimateFailure(std::string_view error) {
    return Concat("この入力では推定できません: ", error);
}

}  // namespace taviro
