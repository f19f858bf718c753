#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "money_summary.h"
#include "numbers.h"
#include "options.h"
#include "parameters.h"
#include "report.h"
#include "run_simulation.h"
#include "scripted_source.h"
#include "sessions.h"
#include "summary.h"

namespace taviro::stats {
namespace {

ParsedOptions Parse(std::vector<std::string_view> args) {
    return ParseStatsOptions(args, 99, 2);
}

TEST(StatsOptions, DefaultsAndValues) {
    const ParsedOptions defaults = Parse({});
    ASSERT_TRUE(defaults.options);
    EXPECT_EQ(defaults.options->settings, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(defaults.options->games, 8000);
    EXPECT_EQ(defaults.options->sessions, 10000);
    EXPECT_EQ(defaults.options->rate, 5);
    EXPECT_EQ(defaults.options->seed, 99u);
    EXPECT_EQ(defaults.options->threads, 2u);
    EXPECT_EQ(defaults.options->format, OutputFormat::Text);

    const ParsedOptions set =
        Parse({"--setting", "4", "--games=2.5e3", "--big", "300", "--rate", "7.6", "--seed",
               "18446744073709551615", "--threads", "3", "--format", "json", "--nbig-coins", "400",
               "--sessions", "12"});
    ASSERT_TRUE(set.options) << set.error;
    const StatsOptions& o = *set.options;
    EXPECT_EQ(o.settings, std::vector<int>{4});
    EXPECT_EQ(o.games, 2500);
    EXPECT_EQ(o.rate, 7.6);
    EXPECT_EQ(o.seed, 18446744073709551615u);
    EXPECT_EQ(o.format, OutputFormat::Json);
    const ParameterTexts texts = TextsForSetting(o, 4);
    EXPECT_EQ(texts.TexBIG, "300");
    EXPECT_EQ(texts.TexREG, "762.047");  // the preset's
    EXPECT_EQ(texts.TexNBIG, "400");
    EXPECT_EQ(texts.TexGAME, "2500");
    EXPECT_TRUE(Parse({"--help"}).options->help);
    EXPECT_EQ(Parse({"--games", "2.5"}).options->games,
              2);  // halves to even, as the window reads it
    EXPECT_EQ(Parse({"--games", "3.5"}).options->games, 4);
}

TEST(StatsOptions, BadOptionsAndValuesAreRefused) {
    const std::vector<std::vector<std::string_view>> cases = {
        {"--bogus"},
        {"--games"},
        {"--games", "abc"},
        {"--games", "0"},
        {"--games", "-5"},
        {"--games", "0.4"},
        {"--games", "3e9"},
        {"--setting", "0"},
        {"--setting", "7"},
        {"--setting", "x"},
        {"--sessions", "0"},
        {"--sessions", "2e7"},
        {"--rate", "0"},
        {"--rate", "-5"},
        {"--rate", "abc"},
        {"--threads", "0"},
        {"--seed", "-1"},
        {"--seed", "1x"},
        {"--seed", ""},
        {"--format", "xml"},
        {"--big", "300"},
        {"--setting", "2", "--reg", "abc"},
        {"--nbig-coins", "1e999"},
        {"--ar-base", ""},
        {"positional"},
    };
    for (const auto& args : cases) {
        const ParsedOptions parsed = Parse(args);
        EXPECT_FALSE(parsed.options) << args[0];
        EXPECT_FALSE(parsed.error.empty()) << args[0];
        EXPECT_EQ(parsed.error.find('\n'), std::string::npos) << args[0];
    }
}

SimulationState Prepared(ParameterTexts texts, bool history = false) {
    SimulationState s;
    s.KeepsHistory = history;
    EXPECT_EQ(LoadParameters(s, texts), LoadStatus::Loaded);
    return s;
}

TEST(Sessions, ASessionEqualsTheFullEditionsRun) {
    struct Case {
        const char* big;
        const char* games;
        std::uint64_t seed;
    };
    const Case cases[] = {
        {"485.452", "8000", 1}, {"30", "5000", 2}, {"1", "2000", 3}, {"0", "300", 4}};
    for (const auto& c : cases) {
        ParameterTexts texts;
        texts.TexBIG = c.big;
        texts.TexGAME = c.games;
        SimulationState full = Prepared(texts, true);
        ClockSeededSource fullSource(c.seed);
        RunSimulation(full, fullSource);

        ClockSeededSource sessionSource(c.seed);
        const SessionResult r = PlaySession(Prepared(texts), sessionSource, 7.6);
        EXPECT_EQ(r.bigs, full.CntNBIG + full.CntHBIG) << c.big;
        EXPECT_EQ(r.regs, full.CntREG) << c.big;
        EXPECT_EQ(r.arGames, full.CntARGames) << c.big;
        EXPECT_EQ(r.finalBalance, full.Balance.back()) << c.big;
        EXPECT_EQ(r.lowestBalance, full.MinBalance) << c.big;
        EXPECT_EQ(r.virtualOut, full.VirtualOut) << c.big;
        const MoneySummary shown = ComputeMoneySummary(full.MinBalance, full.VirtualOut, "7.6");
        EXPECT_EQ(FormatNumber(static_cast<float>(r.investment)) + "千円", shown.investment);
        EXPECT_EQ(FormatNumber(r.netResult) + "千円", shown.netResult.value());
    }
    // A scripted sequence: the worked trace's BIG with AR150 and REG.
    ParameterTexts texts;
    texts.TexGAME = "200";
    testing::ScriptedSource source({100000, 8000, 20000}, 100000);
    const SessionResult r = PlaySession(Prepared(texts), source, 5);
    EXPECT_EQ(r.bigs, 1);
    EXPECT_EQ(r.regs, 1);
    EXPECT_EQ(r.arGames, 150);
    EXPECT_EQ(r.lowestBalance, static_cast<float>(-1.5603781019));
}

bool SameResults(const std::vector<SettingSessions>& a, const std::vector<SettingSessions>& b) {
    for (std::size_t s = 0; s < a.size(); ++s) {
        if (a[s].done != b[s].done) return false;
        for (std::size_t i = 0; i < a[s].results.size(); ++i) {
            if (std::memcmp(&a[s].results[i], &b[s].results[i], sizeof(SessionResult)) != 0)
                return false;
        }
    }
    return true;
}

std::vector<SettingSessions> PlayWith(unsigned threads) {
    std::vector<SettingSessions> settings;
    for (int setting : {2, 6}) {
        ParameterTexts texts;
        const auto preset = SettingPreset(std::to_string(setting));
        texts.TexBIG = preset->big;
        texts.TexREG = preset->reg;
        texts.TexGAME = "3000";
        settings.push_back({setting, Prepared(texts), {}, {}});
    }
    Progress progress;
    PlayAllSessions(settings, 37, 12345, 5, threads, progress);
    EXPECT_EQ(progress.games.load(), 2u * 37 * 3000);
    return settings;
}

TEST(Sessions, SameSeedSameResultsWhateverTheThreads) {
    const auto one = PlayWith(1);
    EXPECT_TRUE(SameResults(one, PlayWith(2)));
    EXPECT_TRUE(SameResults(one, PlayWith(5)));
    EXPECT_NE(one[0].results[0].finalBalance, one[0].results[1].finalBalance);
    EXPECT_NE(SessionSeed(1, 2, 0), SessionSeed(1, 3, 0));
    EXPECT_NE(SessionSeed(1, 2, 0), SessionSeed(2, 2, 0));
}

TEST(Sessions, StoppedEarlyKeepsOnlyCompletedSessions) {
    std::vector<SettingSessions> settings = PlayWith(1);
    Progress progress;
    progress.stop = true;
    PlayAllSessions(settings, 37, 12345, 5, 2, progress);
    EXPECT_FALSE(Summarize(settings[0]));
}

TEST(Summary, PercentilesAndDistribution) {
    const std::vector<double> five = {1, 2, 3, 4, 5};
    EXPECT_EQ(Percentile(five, 0), 1);
    EXPECT_EQ(Percentile(five, 25), 2);
    EXPECT_EQ(Percentile(five, 50), 3);
    EXPECT_EQ(Percentile(five, 95), 4.8);
    EXPECT_EQ(Percentile(five, 100), 5);
    EXPECT_DOUBLE_EQ(Percentile({10, 20}, 5), 10.5);
    EXPECT_EQ(Percentile({7}, 95), 7);

    const Distribution d = Describe({3, -1, 2, 0});
    EXPECT_EQ(d.mean, 1);
    EXPECT_DOUBLE_EQ(d.sd, std::sqrt(10.0 / 3));
    EXPECT_EQ(d.aheadShare, 0.5);
    EXPECT_EQ(d.min, -1);
    EXPECT_EQ(d.max, 3);
    EXPECT_EQ(d.p50, 1);
    EXPECT_DOUBLE_EQ(d.p25, -0.25);
}

TEST(Summary, PayoutConfidenceInterval) {
    const PayoutEstimate p = LongRunPayout({0, -3});  // mean -1.5 coins per game: 50%
    EXPECT_DOUBLE_EQ(p.payout, 50);
    const double half = 1.959963984540054 * std::sqrt(4.5) / std::sqrt(2.0) * 100 / 3;
    EXPECT_NEAR(*p.low, 50 - half, 1e-9);
    EXPECT_NEAR(*p.high, 50 + half, 1e-9);
    const PayoutEstimate single = LongRunPayout({0});
    EXPECT_EQ(single.payout, 100);
    EXPECT_FALSE(single.low);
}

TEST(Sessions, LongRunFrequenciesMatchThePreset) {
    // Setting 1: BIGs are draws up to 15660, REGs 15661 to 24824, of 2^24 equally likely values.
    std::vector<SettingSessions> settings = {{1, Prepared(ParameterTexts{}), {}, {}}};
    Progress progress;
    constexpr std::int64_t kSessions = 400;
    PlayAllSessions(settings, kSessions, 2026, 5, 2, progress);
    const auto f = Summarize(settings[0]);
    ASSERT_TRUE(f);
    auto share = [](double lastDraw) { return std::ceil(lastDraw * 256 / 116) / 16777216; };
    const double pBig = share(15660);
    const double pReg = share(24824) - share(15660);
    // Paid counts trail drawn ones by what is still held at the end: well under a bonus a session.
    const double bigSe = std::sqrt(8000 * pBig) / std::sqrt(static_cast<double>(kSessions));
    const double regSe = std::sqrt(8000 * pReg) / std::sqrt(static_cast<double>(kSessions));
    EXPECT_NEAR(f->meanBigs, 8000 * pBig, 4 * bigSe);
    EXPECT_NEAR(f->meanRegs, 8000 * pReg, 4 * regSe);
}

TEST(Report, FormatsCarryTheSameFigures) {
    Report report{42, 8000, 2, 5, false, {1, 2}, {}};
    SettingFigures figures;
    figures.setting = 1;
    figures.sessions = 2;
    figures.payout = {97.72049, 96.1, 99.3};
    figures.meanBigs = 16.5;
    report.figures = {figures, std::nullopt};
    const std::string text = FormatReport(report, OutputFormat::Text);
    const std::string csv = FormatReport(report, OutputFormat::Csv);
    const std::string json = FormatReport(report, OutputFormat::Json);
    EXPECT_NE(text.find("ＰＡＹＯＵＴ(%)"), std::string::npos);
    EXPECT_NE(text.find("97.72"), std::string::npos);  // rounded to 3 decimals: 97.720
    EXPECT_NE(csv.find(",97.72,96.1,99.3,16.5,"), std::string::npos) << csv;
    EXPECT_NE(json.find("\"payout_percent\": 97.72,"), std::string::npos);
    EXPECT_NE(json.find("{\"setting\": 2, \"sessions\": null"), std::string::npos);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 3);
    EXPECT_EQ(DisplayWidth("設定1"), 5u);
    EXPECT_EQ(DisplayWidth("ＰＡＹＯＵＴ(%)"), 15u);
}

}  // namespace
}  // namespace taviro::stats
