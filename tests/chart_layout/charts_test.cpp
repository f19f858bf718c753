// The pictures' figures and layout, without drawing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "chart_layout/chart_parts.h"
#include "chart_layout/estimate_chart.h"
#include "chart_layout/picture_request.h"
#include "chart_layout/sessions_chart.h"
#include "chart_layout/svg_drawing.h"
#include "sessions/summary.h"

namespace taviro::stats {
namespace {

TEST(Axis, TicksAreRoundAndInsideTheAxis) {
    struct Case {
        double low, high;
        int most;
        bool widen;
    } const cases[] = {{0, 8000, 4, false},       {-4945.9, 15905, 8, true}, {0, 0.137, 5, true},
                       {-163.3, 583.9, 4, false}, {3, 3, 5, true},           {0, 1e6, 5, false},
                       {-0.3, 0.7, 10, true},     {12, 12.04, 4, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.low) + " to " + std::to_string(c.high));
        const Axis axis(c.low, c.high, 100, 500, c.most, c.widen);
        const double power = std::pow(10.0, std::floor(std::log10(axis.Step()) + 1e-9));
        const double mantissa = axis.Step() / power;
        EXPECT_TRUE(std::abs(mantissa - 1) < 1e-9 || std::abs(mantissa - 2) < 1e-9 ||
                    std::abs(mantissa - 5) < 1e-9)
            << axis.Step();
        EXPECT_LE(axis.Low(), std::min(c.low, c.high));
        EXPECT_GE(axis.High(), std::max(c.low, c.high));
        if (!c.widen && c.low != c.high) {
            EXPECT_EQ(axis.Low(), c.low);
        }
        ASSERT_GE(axis.Ticks().size(), 2u);
        EXPECT_LE(axis.Ticks().size(), static_cast<std::size_t>(c.most) + 1);
        for (const Tick& t : axis.Ticks()) {
            const double k = t.value / axis.Step();
            EXPECT_NEAR(k, std::round(k), 1e-9) << t.text;
            EXPECT_GE(t.position, 100 - 1e-9);
            EXPECT_LE(t.position, 500 + 1e-9);
            EXPECT_NEAR(axis.Position(t.value), t.position, 1e-9);
            if (axis.Step() < 1e4) {
                EXPECT_EQ(std::stod(t.text), t.value) << t.text;
            }
        }
        EXPECT_DOUBLE_EQ(axis.Position(axis.Low()), 100);
        EXPECT_DOUBLE_EQ(axis.Position(axis.High()), 500);
    }
    EXPECT_EQ(Axis(0, 1e6, 0, 1, 5, false).Ticks()[1].text, "20万");
    EXPECT_EQ(Axis(0, 0.5, 0, 1, 5, true).Ticks()[3].text, "0.3");
}

std::vector<double> Points(const Band& b) {
    return {b.p5, b.p25, b.p50, b.p75, b.p95};
}

// Every point of every area and line lies on the picture, and inside its frame where it has one.
void ExpectMarksOnThePicture(const Drawing& d) {
    for (const Mark& mark : d.marks) {
        const std::vector<Point>* points = nullptr;
        if (const auto* area = std::get_if<Area>(&mark)) points = &area->outline;
        if (const auto* line = std::get_if<Line>(&mark)) points = &line->points;
        if (const auto* c = std::get_if<Caption>(&mark)) {
            const bool leftAnchored = c->anchor == Anchor::TopLeft || c->anchor == Anchor::Left;
            const double right = c->at.x + (leftAnchored ? TextWidth(c->text, c->size) : 0);
            EXPECT_GE(c->at.x, 0) << c->text;
            EXPECT_LE(right, d.width + 1) << c->text;
            EXPECT_GE(c->at.y, 0) << c->text;
            EXPECT_LE(c->at.y, d.height) << c->text;
            continue;
        }
        for (const Point& p : *points) {
            EXPECT_GE(p.x, -1e-6);
            EXPECT_LE(p.x, d.width + 1e-6);
            EXPECT_GE(p.y, -1e-6);
            EXPECT_LE(p.y, d.height + 1e-6);
        }
    }
}

TEST(SessionsChart, BandsHistogramsWinRatesAndMarksFromTheSessions) {
    // A small run of settings 1 and 6 with a picture.
    SessionsPlan o;
    o.settings = {1, 6}, o.games = 3000, o.sessions = 300, o.seed = 11, o.threads = 3;
    o.curvePoints = CurvePoints(PictureRequest{}.width, o.settings.size());
    std::vector<SettingSessions> settings = PrepareSettings(o).value();
    Progress progress;
    PlayAllSessions(settings, o.sessions, o.seed, o.rate, o.threads, progress);
    Report report{o.seed, o.games, o.sessions, o.rate, false, o.settings, {}};
    for (const SettingSessions& s : settings) report.figures.push_back(Summarize(s));
    const SessionsPicture picture = PictureOfSessions(o, report, settings, o.threads);
    ASSERT_EQ(picture.settings.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        const SettingCurves& c = picture.settings[i];
        const SettingFigures& figures = *report.figures[i];
        SCOPED_TRACE(c.setting);
        ASSERT_EQ(c.bands.size(), settings[i].checkpoints.size() + 1);
        EXPECT_EQ(c.bands.front().games, 0);
        EXPECT_EQ(c.bands.back().games, 3000);
        for (std::size_t k = 0; k < c.bands.size(); ++k) {
            const std::vector<double> points = Points(c.bands[k]);
            EXPECT_TRUE(std::is_sorted(points.begin(), points.end())) << c.bands[k].games;
            EXPECT_TRUE(k == 0 || c.bands[k].games > c.bands[k - 1].games);
        }
        // The last checkpoint is the end of the session: the table's net coins, in floats.
        const Band& last = c.bands.back();
        for (auto [band, table] : {std::pair{last.p5, figures.netCoins.p5},
                                   {last.p50, figures.netCoins.p50},
                                   {last.p95, figures.netCoins.p95}}) {
            EXPECT_NEAR(band, table, 1e-3 * (1 + std::abs(table)));
        }
        // Bins never straddle 0, so the bars above 0 are the sessions ahead.
        double ahead = c.net.above, all = c.net.below + c.net.above;
        for (std::size_t k = 0; k < c.net.shares.size(); ++k) {
            if (c.net.low + c.net.width * static_cast<double>(k) >= 0) ahead += c.net.shares[k];
            all += c.net.shares[k];
        }
        EXPECT_NEAR(all, 1, 1e-9);
        EXPECT_NEAR(ahead, figures.netResult.aheadShare, 1e-9);
        EXPECT_NEAR(c.net.low / c.net.width, std::round(c.net.low / c.net.width), 1e-9);
        EXPECT_EQ(c.aheadShare, figures.netResult.aheadShare);
    }
    EXPECT_NE(picture.subtitle.find("シード 11"), std::string::npos);
    for (auto [w, h] : {std::pair{1600.0, 1000.0}, {600.0, 400.0}, {3000.0, 1200.0}}) {
        SCOPED_TRACE(std::to_string(w));
        const Drawing d = DrawSessions(picture, w, h);
        EXPECT_EQ(d.width, w);
        ExpectMarksOnThePicture(d);
    }
}

TEST(EstimateChart, BarsStandForThePriorAndPosterior) {
    EstimateInput input;
    input.games = 3000, input.bigs = 12, input.regs = 8;
    EstimateAnswer answer;
    answer.prior = {0.1, 0.1, 0.2, 0.2, 0.2, 0.2};
    answer.posterior = {0.03, 0.057, 0.1, 0.149, 0.222, 0.442};
    for (bool projected : {false, true}) {
        if (projected) {
            input.remaining = 2000;
            Projection p;
            for (std::int64_t g : Checkpoints(2000)) {
                p.bands.push_back({g, -0.8 * g, -0.2 * g, 0.5 * g, g * 1.3, g * 2.6});
            }
            answer.projection = p;
        }
        // The picture, and its posterior alone as a phone shows it.
        for (const Drawing& d :
             {DrawEstimate(input, answer, 1600, 1000), DrawPosterior(answer, 340, 300, 0.7)}) {
            ExpectMarksOnThePicture(d);
            // Prior and posterior bars per setting, in order, on one baseline, as tall as the
            // figure.
            std::vector<Box> prior, posterior;
            for (const Mark& mark : d.marks) {
                const auto* area = std::get_if<Area>(&mark);
                if (area == nullptr || area->outline.size() != 4) continue;
                const Box box{area->outline[0].x, area->outline[1].y,
                              area->outline[2].x - area->outline[0].x,
                              area->outline[0].y - area->outline[1].y};
                if (area->ink == Ink::Prior && box.height > 0) prior.push_back(box);
                if (area->ink == Ink::Posterior && box.height > 0) posterior.push_back(box);
            }
            ASSERT_EQ(prior.size(), 6u);
            ASSERT_EQ(posterior.size(), 6u);
            for (std::size_t s = 0; s < 6; ++s) {
                EXPECT_LT(prior[s].Right(), posterior[s].left);
                if (s > 0) {
                    EXPECT_LT(posterior[s - 1].Right(), prior[s].left);
                }
                EXPECT_DOUBLE_EQ(prior[s].Bottom(), posterior[0].Bottom());
                EXPECT_NEAR(posterior[s].height / posterior[5].height,
                            answer.posterior[s] / answer.posterior[5], 1e-9);
                EXPECT_NEAR(prior[s].height / posterior[5].height,
                            answer.prior[s] / answer.posterior[5], 1e-9);
            }
        }
    }
}

// The SVG of a drawing: text escaped, every ink's colour, upright and dashed marks.
TEST(SvgDocument, WritesEveryMarkAsMarkup) {
    Drawing d{200, 100, {}};
    d.marks.push_back(Area{{{0, 0}, {10, 0}, {10, 10}}, Ink::OuterBand});
    d.marks.push_back(Line{{{0, 50}, {200, 50.125}}, Ink::Zero, 2, true});
    d.marks.push_back(Caption{
        "<img src=x onerror=\"f()\">&", {100, 50}, Anchor::Center, 16, Ink::Text, true, true});
    const std::string svg = SvgDocument(d, 400, 200, "a < b");
    for (const char* part :
         {"width=\"400\" height=\"200\" viewBox=\"0 0 200 100\"", "<title>a &lt; b</title>",
          "<polygon points=\"0,0 10,0 10,10\" fill=\"#56b4e9\" fill-opacity=\"0.31\"/>",
          "points=\"0,50 200,50.13\" fill=\"none\" stroke=\"#000000\" stroke-width=\"2\"",
          "stroke-dasharray=\"8 4\"", "translate(100 50) rotate(-90)", "font-weight=\"bold\"",
          ">&lt;img src=x onerror=&quot;f()&quot;&gt;&amp;</text>"}) {
        EXPECT_NE(svg.find(part), std::string::npos) << part << " in\n" << svg;
    }
    EXPECT_EQ(svg.find("<img"), std::string::npos);
}

}  // namespace
}  // namespace taviro::stats
