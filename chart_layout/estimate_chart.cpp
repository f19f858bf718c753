#include "chart_layout/estimate_chart.h"

#include <algorithm>

#include "chart_layout/chart_parts.h"
#include "core/concat.h"
#include "core/number_text.h"

namespace taviro::stats {

namespace {

std::string Subtitle(const EstimateInput& in) {
    std::string text = Concat(std::to_string(in.games), "ゲーム  ＢＩＧ ", std::to_string(in.bigs),
                              "回  ＲＥＧ ", std::to_string(in.regs), "回");
    if (in.hyperBigs) text += Concat("  うちハイパー ", std::to_string(*in.hyperBigs), "回");
    if (in.arGames) text += Concat("  ＡＲ ", std::to_string(*in.arGames), "ゲーム");
    return Concat(text, "  シード ", std::to_string(in.seed));
}

// The prior and posterior of each setting as a pair of bars, with the posterior written above
// its bar.
void AddPosterior(Drawing& d, const EstimateAnswer& a, Box area, double u) {
    d.marks.push_back(Caption{"設定ごとの確率",
                              {area.left + area.width / 2, area.top},
                              Anchor::Top,
                              23 * u,
                              Ink::Text,
                              true});
    const LegendEntry legend[] = {{Ink::Prior, false, "事前確率（回数を見る前）"},
                                  {Ink::Posterior, false, "事後確率（回数を見た後）"}};
    AddLegend(d, {area.left, area.top + 48 * u}, legend, 16 * u);
    double most = 0;
    for (std::size_t s = 0; s < kSettings; ++s) {
        most = std::max({most, a.prior[s], a.posterior[s]});
    }
    const double plotTop = area.top + 100 * u;
    const double plotBottom = area.Bottom() - 80 * u;
    const double left =
        area.left + LeftGutter(Axis(0, most * 100 * 1.1, 0, 1, 5, true), u) - 20 * u;
    const Plot plot{{left, plotTop, area.Right() - left, plotBottom - plotTop},
                    Axis(0, 6, left, area.Right(), 1, false),
                    Axis(0, most * 100 * 1.1, plotBottom, plotTop, 5, true)};
    AddGrid(d, plot, u, false, true, false);
    AddUprightTitle(d, "確率（%）", area.left, (plotTop + plotBottom) / 2, u);
    const double slot = plot.box.width / kSettings;
    const double bar = slot * 0.4;
    // The posterior's figure above its bar, no wider than the bar.
    const double figureSize = std::min(16 * u, bar / TextWidth("00.0%", 1));
    for (std::size_t s = 0; s < kSettings; ++s) {
        const double middle = plot.box.left + slot * (static_cast<double>(s) + 0.5);
        const auto add = [&](double share, double from, Ink ink) {
            const double y = plot.y.Position(share * 100);
            d.marks.push_back(Area{
                {{from, plotBottom}, {from, y}, {from + bar, y}, {from + bar, plotBottom}}, ink});
            return y;
        };
        add(a.prior[s], middle - bar - u, Ink::Prior);
        const double y = add(a.posterior[s], middle + u, Ink::Posterior);
        d.marks.push_back(Caption{Percent(a.posterior[s]),
                                  {middle + u + bar / 2, y - 4 * u},
                                  Anchor::Bottom,
                                  figureSize,
                                  Ink::Text,
                                  true});
        d.marks.push_back(Caption{Concat("設定", std::to_string(s + 1)),
                                  {middle, plotBottom + 8 * u},
                                  Anchor::Top,
                                  18 * u,
                                  Ink::Text});
    }
    d.marks.push_back(
        Caption{Concat("設定4以上 ", Percent(a.atLeast4), "   設定5・6 ", Percent(a.fiveOrSix),
                       "   期待設定 ", FixedNumber(a.expectedSetting, 2)),
                {area.left + area.width / 2, plotBottom + 44 * u},
                Anchor::Top,
                18 * u,
                Ink::Text});
}

// The fan of the net coins over the next games, from game 0 where every continuation stands at
// 0.
void AddProjection(Drawing& d, const EstimateInput& in, const Projection& p, Box area, double u) {
    d.marks.push_back(Caption{Concat("この先 ", std::to_string(in.remaining), "ゲームの差枚数"),
                              {area.left + area.width / 2, area.top},
                              Anchor::Top,
                              23 * u,
                              Ink::Text,
                              true});
    const std::vector<LegendEntry> legend = FanLegend();
    AddLegend(d, {area.left, area.top + 48 * u}, legend, 16 * u);
    std::vector<Band> bands = {Band{}};
    bands.insert(bands.end(), p.bands.begin(), p.bands.end());
    const auto [low, high] = FanRange(bands);
    const double plotTop = area.top + 100 * u;
    const double plotBottom = area.Bottom() - 80 * u;
    const double left = area.left + LeftGutter(Axis(low, high, 0, 1, 8, true), u) - 20 * u;
    const Plot plot{{left, plotTop, area.Right() - left, plotBottom - plotTop},
                    Axis(0, static_cast<double>(in.remaining), left, area.Right(), 6, false),
                    Axis(low, high, plotBottom, plotTop, 8, true)};
    AddGrid(d, plot, u, true, true);
    AddFan(d, plot, bands, u);
    AddUprightTitle(d, "差枚数（枚）", area.left, (plotTop + plotBottom) / 2, u);
    d.marks.push_back(Caption{"この先のゲーム数",
                              {left + plot.box.width / 2, plotBottom + 30 * u},
                              Anchor::Top,
                              16 * u,
                              Ink::Text});
    const double inset = 10 * u;
    d.marks.push_back(Caption{Concat("勝つ確率 ", Percent(p.coins.aheadShare)),
                              {left + inset, plotTop + inset},
                              Anchor::TopLeft,
                              19 * u,
                              Ink::Ahead,
                              true});
    d.marks.push_back(
        Caption{Concat("中央値 ", Signed(p.coins.p50, 0), "枚（", Signed(p.kyen.p50, 1), "千円）"),
                {left + inset, plotTop + inset + 28 * u},
                Anchor::TopLeft,
                16 * u,
                Ink::Text});
}

// The area of a chart alone on its drawing.
Box Alone(const Drawing& d, double u) {
    const double margin = 12 * u;
    return {margin, margin, d.width - 2 * margin, d.height - 2 * margin};
}

}  // namespace

Drawing DrawPosterior(const EstimateAnswer& answer, double width, double height, double unit) {
    Drawing d{width, height, {}};
    AddPosterior(d, answer, Alone(d, unit), unit);
    return d;
}

Drawing DrawProjection(const EstimateInput& input, const Projection& projection, double width,
                       double height, double unit) {
    Drawing d{width, height, {}};
    AddProjection(d, input, projection, Alone(d, unit), unit);
    return d;
}

Drawing DrawEstimate(const EstimateInput& input, const EstimateAnswer& answer, double width,
                     double height) {
    Drawing d{width, height, {}};
    const double u = SizeUnit(width, height);
    const double margin = 20 * u;
    const double top = AddTitle(d, "設定の推定", Subtitle(input), u) + 10 * u;
    const Box all{margin, top, width - 2 * margin, height - margin - top};
    if (!answer.projection) {
        AddPosterior(d, answer, all, u);
        return d;
    }
    const double gap = 50 * u;
    const double bars = (all.width - gap) * 0.45;
    AddPosterior(d, answer, {all.left, all.top, bars, all.height}, u);
    AddProjection(d, input, *answer.projection,
                  {all.left + bars + gap, all.top, all.width - bars - gap, all.height}, u);
    return d;
}

}  // namespace taviro::stats
