#include "chart_layout/sessions_chart.h"

#include <algorithm>
#include <cmath>

#include "chart_layout/chart_parts.h"
#include "core/concat.h"
#include "core/fitted_curve.h"
#include "core/number_text.h"
#include "core/numbers.h"
#include "sessions/session_curves.h"

namespace taviro::stats {

namespace {

// The net results of the completed sessions that have one, sorted.
std::vector<double> SortedResults(const SettingSessions& s) {
    std::vector<double> values;
    for (std::size_t i = 0; i < s.results.size(); ++i) {
        if (s.done[i] && std::isfinite(s.results[i].netResult)) {
            values.push_back(s.results[i].netResult);
        }
    }
    std::sort(values.begin(), values.end());
    return values;
}

NetHistogram Histogram(const std::vector<double>& sorted, double low, double width, int bins) {
    NetHistogram h{low, width, std::vector<double>(static_cast<std::size_t>(bins), 0), 0, 0};
    if (sorted.empty()) return h;
    const double high = low + width * bins;
    const double each = 1.0 / static_cast<double>(sorted.size());
    for (double v : sorted) {
        if (v < low) {
            h.below += each;
        } else if (v > high) {
            h.above += each;
        } else {
            const auto k = static_cast<std::int64_t>(std::ceil((v - low) / width)) - 1;
            h.shares[static_cast<std::size_t>(std::clamp<std::int64_t>(k, 0, bins - 1))] += each;
        }
    }
    return h;
}

// "1/300" for a probability text of 300, the text's number as it is below 1.
std::string Probability(const std::string& text) {
    const std::optional<double> x = ParseWholeNumber(text);
    if (!x) return text;
    return *x >= 1 ? Concat("1/", FormatNumber(*x)) : FormatNumber(*x);
}

std::string Subtitle(const SessionsPlan& o, const Report& report) {
    std::string text = Concat(std::to_string(o.sessions), "セッション × ", std::to_string(o.games),
                              "ゲーム  換金率 ", FormatNumber(o.rate), "枚/100円  シード ",
                              std::to_string(o.seed));
    if (o.big) text += Concat("  ＢＩＧ ", Probability(*o.big));
    if (o.reg) text += Concat("  ＲＥＧ ", Probability(*o.reg));
    const ParameterTexts defaults;
    const std::pair<std::string ParameterTexts::*, const char*> coins[] = {
        {&ParameterTexts::TexN_BASE, "  通常時 "},
        {&ParameterTexts::TexAR_BASE, "  ＡＲ中 "},
        {&ParameterTexts::TexNBIG, "  ノーマルＢＩＧ "},
        {&ParameterTexts::TexHBIG, "  ハイパーＢＩＧ "},
        {&ParameterTexts::TexREGOUT, "  ＲＥＧ獲得 "}};
    for (const auto& [member, name] : coins) {
        if (o.parameters.*member != defaults.*member) text += Concat(name, o.parameters.*member);
    }
    if (report.interrupted) text += "  （中断: 完了したセッションのみ）";
    return text;
}

// A share above 0 in percent with one decimal, never "0.0%".
std::string Share(double share) {
    return share < 0.0005 ? "0.1%未満" : Concat(FixedNumber(share * 100, 1), "%");
}

}  // namespace

SessionsPicture PictureOfSessions(const SessionsPlan& plan, const Report& report,
                                  const std::vector<SettingSessions>& settings, unsigned threads) {
    SessionsPicture picture;
    picture.title = settings.size() == 1 ? Concat("設定", std::to_string(settings[0].setting),
                                                  "の差枚数の推移と最終収支")
                                         : "設定ごとの差枚数の推移と最終収支";
    picture.subtitle = Subtitle(plan, report);
    picture.games = plan.games;
    std::vector<std::vector<Band>> bands = SessionBands(settings, threads);
    std::vector<std::vector<double>> results;
    double low = 0, high = 0;
    bool any = false;
    for (const SettingSessions& s : settings) {
        results.push_back(SortedResults(s));
        const std::vector<double>& r = results.back();
        if (r.empty()) continue;
        const double p1 = Percentile(r, 0.5), p2 = Percentile(r, 99.5);
        low = any ? std::min(low, p1) : p1;
        high = any ? std::max(high, p2) : p2;
        any = true;
    }
    const double width = RoundStep(std::max(high - low, 1e-9) / kNetBins);
    const double first = std::floor(low / width) * width;
    const int bins = std::max(1, static_cast<int>(std::ceil((high - first) / width - 1e-9)));
    for (std::size_t i = 0; i < settings.size(); ++i) {
        SettingCurves c;
        c.setting = settings[i].setting;
        if (i < report.figures.size() && report.figures[i]) {
            const SettingFigures& f = *report.figures[i];
            c.sessions = f.sessions;
            c.aheadShare = f.netResult.aheadShare;
            c.medianNet = f.netResult.p50;
        }
        if (!bands[i].empty()) {
            c.bands.push_back(Band{});  // game 0
            c.bands.insert(c.bands.end(), bands[i].begin(), bands[i].end());
        }
        c.net = Histogram(results[i], first, width, bins);
        picture.settings.push_back(std::move(c));
    }
    return picture;
}

Drawing DrawSessions(const SessionsPicture& picture, double width, double height) {
    Drawing d{width, height, {}};
    const double u = SizeUnit(width, height);
    const double margin = 20 * u;
    const double top = AddTitle(d, picture.title, picture.subtitle, u) + 14 * u;
    const double x = AddLegend(d, {margin, top}, FanLegend(), 17 * u);
    const LegendEntry results[] = {{Ink::Behind, false, "負けたセッション"},
                                   {Ink::Ahead, false, "勝ったセッション"}};
    AddLegend(d, {x + 10 * u, top}, results, 17 * u);

    // The axes every column shares.
    std::vector<Band> all;
    double mostShare = 0;
    for (const SettingCurves& c : picture.settings) {
        all.insert(all.end(), c.bands.begin(), c.bands.end());
        for (double share : c.net.shares) mostShare = std::max(mostShare, share);
    }
    const auto [coinLow, coinHigh] = FanRange(all);
    const std::size_t n = std::max<std::size_t>(picture.settings.size(), 1);
    const int steps = n > 2 ? 4 : 8;
    const NetHistogram& shape = picture.settings.empty() ? NetHistogram{} : picture.settings[0].net;
    const double netLow = shape.low;
    const double netHigh = shape.low + shape.width * static_cast<double>(shape.shares.size());

    const double left = std::max(LeftGutter(Axis(coinLow, coinHigh, 0, 1, 8, true), u),
                                 LeftGutter(Axis(0, mostShare * 100 * 1.08, 0, 1, 4, true), u));
    const double gap = 18 * u;
    const double column = (width - margin - left - gap * static_cast<double>(n - 1)) / n;
    const double panelsTop = top + 30 * u;
    const double fanTop = panelsTop + 34 * u;
    const double histBottom = height - margin - 46 * u;
    const double space = histBottom - fanTop - 110 * u;
    const double fanBottom = fanTop + 0.62 * space;
    const double histTop = histBottom - 0.38 * space;

    AddUprightTitle(d, "差枚数（枚）", 20 * u, (fanTop + fanBottom) / 2, u);
    AddUprightTitle(d, "セッションの割合（%）", 20 * u, (histTop + histBottom) / 2, u);
    for (std::size_t i = 0; i < picture.settings.size(); ++i) {
        const SettingCurves& c = picture.settings[i];
        const double l = left + static_cast<double>(i) * (column + gap);
        const double middle = l + column / 2;
        d.marks.push_back(Caption{Concat("設定", std::to_string(c.setting)),
                                  {middle, panelsTop},
                                  Anchor::Top,
                                  23 * u,
                                  Ink::Text,
                                  true});

        const Plot fan{{l, fanTop, column, fanBottom - fanTop},
                       Axis(0, picture.games, l, l + column, steps, false),
                       Axis(coinLow, coinHigh, fanBottom, fanTop, 8, true)};
        AddGrid(d, fan, u, true, i == 0);
        AddFan(d, fan, c.bands, u);

        const Plot hist{{l, histTop, column, histBottom - histTop},
                        Axis(netLow, netHigh, l, l + column, steps, false),
                        Axis(0, mostShare * 100 * 1.08, histBottom, histTop, 4, true)};
        AddGrid(d, hist, u, true, i == 0);
        for (std::size_t k = 0; k < c.net.shares.size(); ++k) {
            if (c.net.shares[k] <= 0) continue;
            const double from = c.net.low + c.net.width * static_cast<double>(k);
            const double x0 = hist.x.Position(from), x1 = hist.x.Position(from + c.net.width);
            const double y = hist.y.Position(c.net.shares[k] * 100);
            d.marks.push_back(Area{{{x0, histBottom}, {x0, y}, {x1, y}, {x1, histBottom}},
                                   from + c.net.width <= 0 ? Ink::Behind : Ink::Ahead});
        }
        AddZeroLine(d, hist, u, true);
        if (c.sessions == 0) {
            d.marks.push_back(Caption{"完了したセッションなし",
                                      {middle, (fanTop + fanBottom) / 2},
                                      Anchor::Center,
                                      17 * u,
                                      Ink::Muted});
            continue;
        }
        d.marks.push_back(Caption{Concat("勝率 ", Percent(c.aheadShare)),
                                  {middle, histTop - 50 * u},
                                  Anchor::Top,
                                  19 * u,
                                  Ink::Ahead,
                                  true});
        d.marks.push_back(Caption{Concat("中央値 ", Signed(c.medianNet, 1), "千円"),
                                  {middle, histTop - 26 * u},
                                  Anchor::Top,
                                  16 * u,
                                  Ink::Text});
        // The sessions beyond the bins, at the side they lie.
        const double edge = 4 * u;
        if (c.net.below > 0) {
            d.marks.push_back(Caption{Concat("←", Share(c.net.below)),
                                      {l + edge, histTop + edge},
                                      Anchor::TopLeft,
                                      13 * u,
                                      Ink::Muted});
        }
        if (c.net.above > 0) {
            d.marks.push_back(Caption{Concat(Share(c.net.above), "→"),
                                      {l + column - edge, histTop + edge},
                                      Anchor::TopRight,
                                      13 * u,
                                      Ink::Muted});
        }
    }
    const double right = width - margin;
    d.marks.push_back(Caption{
        "ゲーム数", {(left + right) / 2, fanBottom + 28 * u}, Anchor::Top, 16 * u, Ink::Text});
    d.marks.push_back(Caption{"最終収支（千円）",
                              {(left + right) / 2, histBottom + 28 * u},
                              Anchor::Top,
                              16 * u,
                              Ink::Text});
    return d;
}

std::int64_t CurvePoints(int width, std::size_t columns) {
    const auto perColumn = static_cast<std::int64_t>(width) /
                           (4 * static_cast<std::int64_t>(std::max<std::size_t>(columns, 1)));
    return std::clamp<std::int64_t>(perColumn, 32, 200);
}

}  // namespace taviro::stats
