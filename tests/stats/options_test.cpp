#include "stats/options.h"

#include <gtest/gtest.h>

namespace taviro::stats {
namespace {

ParsedOptions Parse(std::vector<std::string_view> args) {
    return ParseStatsOptions(args, 99, 2);
}

// The words of a command line, split at each separator ("--seed " gives an empty value).
std::vector<std::string_view> Words(std::string_view line, char separator = ' ') {
    std::vector<std::string_view> words;
    for (std::size_t at = 0, end = 0; end != std::string_view::npos; at = end + 1) {
        end = line.find(separator, at);
        words.push_back(line.substr(at, end - at));
    }
    return words;
}

TEST(StatsOptions, DefaultsAndValues) {
    const StatsOptions defaults = Parse({}).options.value();
    EXPECT_EQ(defaults.settings, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(std::tuple(defaults.games, defaults.sessions, defaults.seed, defaults.threads),
              std::tuple(8000, std::int64_t{10000}, std::uint64_t{99}, 2u));
    EXPECT_FALSE(defaults.help || defaults.version || defaults.plot);

    const ParsedOptions set =
        Parse(Words("--setting 4 --games=2.5e3 --big 300 --rate 7.6 --seed 18446744073709551615 "
                    "--threads 3 --format json --nbig-coins 400 --reg-coins 130 --sessions 12"));
    ASSERT_TRUE(set.options) << set.error;
    const StatsOptions& o = *set.options;
    EXPECT_EQ(o.settings, std::vector<int>{4});
    EXPECT_TRUE(o.games == 2500 && o.rate == 7.6 && o.seed == 18446744073709551615u &&
                o.threads == 3 && o.sessions == 12 && o.format == OutputFormat::Json);
    const ParameterTexts texts = TextsForSetting(o, 4);  // the preset's REG
    EXPECT_EQ((std::vector<std::string>{texts.TexBIG, texts.TexREG, texts.TexNBIG, texts.TexREGOUT,
                                        texts.TexGAME}),
              (std::vector<std::string>{"300", "762.047", "400", "130", "2500"}));
    EXPECT_TRUE(Parse({"--help"}).options->help);
    const StatsOptions plotted =
        Parse(Words("--plot a/Six.SVG --plot-size=800x500 --setting 2 --reg 500")).options.value();
    EXPECT_EQ(TextsForSetting(plotted, 2).TexREG, "500");
    EXPECT_EQ(plotted.plot->path, "a/Six.SVG");
    EXPECT_EQ(plotted.plot->format, PictureFormat::Svg);
    EXPECT_EQ(std::pair(plotted.plot->width, plotted.plot->height), std::pair(800, 500));
    // The game count is read as the window reads it: halves to even.
    EXPECT_EQ(Parse({"--games", "2.5"}).options->games, 2);
    EXPECT_EQ(Parse({"--games", "3.5"}).options->games, 4);
}

TEST(StatsOptions, BadOptionsAndValuesAreRefusedInOneLine) {
    // One command line per case, between bars.
    const std::string_view lines =
        "--bogus|--games|--games abc|--games 0|--games 0.4|--games 3e9|--setting 0|"
        "--setting 7|--setting x|--sessions 0|--sessions 2e9|--sessions 1.5|--rate 0|"
        "--rate abc|--threads 0|--seed -1|--seed 1x|--seed |--format xml|--big 300|"
        "--setting 2 --reg abc|--nbig-coins 1e999|--ar-base |positional|--plot six.jpg|"
        "--plot png|--plot six.png --plot-size 599x400|--plot six.png --plot-size 1600x|"
        "--plot six.png --plot-size 1600x1000x2|--plot-size 1600x1000";
    for (const std::string_view line : Words(lines, '|')) {
        const ParsedOptions parsed = Parse(Words(line, ' '));
        EXPECT_TRUE(!parsed.options && !parsed.error.empty() &&
                    parsed.error.find('\n') == std::string::npos)
            << line << ": " << parsed.error;
    }
}

TEST(EstimateOptions, ValuesAndRefusals) {
    const ParsedEstimate ok = ParseEstimateOptions(
        Words("--games=3000 --big 12 --reg 8 --hbig 2 --prior 1,2,3,4,5,6 --format json"), 1, 2);
    ASSERT_TRUE(ok.options) << ok.error;
    EXPECT_TRUE(ok.options->input.regs == 8 && ok.options->input.hyperBigs == 2);
    EXPECT_EQ(ok.options->input.prior[5], 6);
    EXPECT_EQ(ok.options->format, OutputFormat::Json);
    EXPECT_FALSE(ok.options->help || ok.options->version);
    const std::string_view lines =
        "--games 3000 --big 12|--games 3000 --big 12.5 --reg 8|"
        "--games 3000 --big 12 --reg 8 --prior 1,1,1|"
        "--games 3000 --big 12 --reg 8 --prior 1,1,1,1,1,x|"
        "--games 3000 --big 12 --reg 8 --setting 3|--games 3000 --big 12 --reg 8 --ar-games 1e9";
    for (const std::string_view line : Words(lines, '|')) {
        const ParsedEstimate parsed = ParseEstimateOptions(Words(line), 1, 2);
        EXPECT_TRUE(!parsed.options && parsed.error.find('\n') == std::string::npos) << line;
    }
}

}  // namespace
}  // namespace taviro::stats
