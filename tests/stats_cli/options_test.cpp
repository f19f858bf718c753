#include "stats_cli/options.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <tuple>

#include "stats_cli/failure_message.h"

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
    EXPECT_EQ(defaults.plan.settings, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(std::tuple(defaults.plan.games, defaults.plan.sessions, defaults.plan.seed,
                         defaults.plan.threads),
              std::tuple(8000, std::int64_t{10000}, std::uint64_t{99}, 2u));
    EXPECT_FALSE(defaults.help);
    EXPECT_FALSE(defaults.version);
    EXPECT_FALSE(defaults.plot);

    const ParsedOptions set =
        Parse(Words("--setting 4 --games=2.5e3 --big 300 --rate 7.6 --seed 18446744073709551615 "
                    "--threads 3 --format json --nbig-coins 400 --reg-coins 130 --sessions 12"));
    ASSERT_TRUE(set.options) << set.error;
    const StatsOptions& o = *set.options;
    EXPECT_EQ(o.plan.settings, std::vector<int>{4});
    EXPECT_EQ(
        std::tuple(o.plan.games, o.plan.rate, o.plan.seed, o.plan.threads, o.plan.sessions,
                   o.format),
        std::tuple(2500, 7.6, 18446744073709551615u, 3u, std::int64_t{12}, OutputFormat::Json));
    const ParameterTexts texts = TextsForSetting(o.plan, 4);  // the preset's REG
    EXPECT_EQ((std::vector<std::string>{texts.TexBIG, texts.TexREG, texts.TexNBIG, texts.TexREGOUT,
                                        texts.TexGAME}),
              (std::vector<std::string>{"300", "762.047", "400", "130", "2500"}));
    EXPECT_TRUE(Parse({"--help"}).options->help);
    const StatsOptions plotted =
        Parse(Words("--plot a/Six.SVG --plot-size=800x500 --setting 2 --reg 500")).options.value();
    EXPECT_EQ(TextsForSetting(plotted.plan, 2).TexREG, "500");
    EXPECT_EQ(plotted.plot->path, "a/Six.SVG");
    EXPECT_EQ(plotted.plot->format, PictureFormat::Svg);
    EXPECT_EQ(std::pair(plotted.plot->width, plotted.plot->height), std::pair(800, 500));
    // The game count is read as the window reads it: halves to even.
    EXPECT_EQ(Parse({"--games", "2.5"}).options->plan.games, 2);
    EXPECT_EQ(Parse({"--games", "3.5"}).options->plan.games, 4);
}

TEST(StatsOptions, BadOptionsAndValuesAreRefusedInOneLineThatSaysWhy) {
    // A command line, and what its refusal must say.
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"--bogus", "不明なオプションです: \"--bogus\""},
        {"positional", "不明なオプションです: \"positional\""},
        {"--games", "--games には値が必要です"},
        {"--help=yes", "--help には値を指定できません"},
        {"--games abc", "--games には 1 から 2147483647 までのゲーム数"},
        {"--games 0", "ゲーム数を指定してください: \"0\""},
        {"--games 0.4", "ゲーム数を指定してください: \"0.4\""},
        {"--games 3e9", "ゲーム数を指定してください: \"3e9\""},
        {"--setting 0", "--setting には 1 から 6 または all"},
        {"--setting 7", "--setting には 1 から 6 または all"},
        {"--setting x", "--setting には 1 から 6 または all"},
        {"--sessions 0", "--sessions には 1 から 1000000000 までの整数"},
        {"--sessions 2e9", "--sessions には 1 から 1000000000 までの整数"},
        {"--sessions 1.5", "--sessions には 1 から 1000000000 までの整数"},
        {"--rate 0", "--rate には 0 より大きい数値"},
        {"--rate abc", "--rate には 0 より大きい数値"},
        {"--threads 0", "--threads には 1 から 1024 までの整数"},
        {"--seed -1", "--seed には 0 から 18446744073709551615"},
        {"--seed 1x", "--seed には 0 から 18446744073709551615"},
        {"--seed ", "--seed には 0 から 18446744073709551615"},
        {"--format xml", "--format には text、csv、json"},
        {"--big 300", "--big と --reg は --setting で設定を一つ選んだときだけ"},
        {"--setting 2 --reg abc", "--reg には数値を指定してください"},
        {"--nbig-coins 1e999", "--nbig-coins の数値が大きすぎます"},
        {"--ar-base ", "--ar-base には数値を指定してください"},
        {"--plot six.jpg", "--plot のファイル名は .png か .svg"},
        {"--plot png", "--plot のファイル名は .png か .svg"},
        {"--plot six.png --plot-size 599x400", "--plot-size には 幅x高さ を 600x400 から"},
        {"--plot six.png --plot-size 1600x", "--plot-size には 幅x高さ"},
        {"--plot six.png --plot-size 1600x1000x2", "--plot-size には 幅x高さ"},
        {"--plot-size 1600x1000", "--plot-size は --plot と一緒に"},
    };
    for (const auto& [line, phrase] : cases) {
        const ParsedOptions parsed = Parse(Words(line, ' '));
        EXPECT_FALSE(parsed.options) << line;
        EXPECT_NE(parsed.error.find(phrase), std::string::npos) << line << ": " << parsed.error;
        EXPECT_EQ(parsed.error.find('\n'), std::string::npos) << line;
    }
}

TEST(StatsOptions, AMemoryRefusalTellsTheTwoFiguresApart) {
    const std::tuple<std::uint64_t, std::uint64_t, const char*> cases[] = {
        {486'000'000'000, 1'073'741'824, "約 486.0 GB のメモリが必要ですが、使えるのは約 1.1 GB"},
        {1'117'000'000, 1'073'741'824, "約 1.12 GB のメモリが必要ですが、使えるのは約 1.07 GB"},
        {1'074'600'000, 1'073'741'824, "約 1.075 GB のメモリが必要ですが、使えるのは約 1.074 GB"}};
    for (const auto& [needed, available, said] : cases) {
        EXPECT_EQ(MemoryRefusal(2300000, needed, available),
                  std::string("--sessions 2300000 には") + said + " です。");
    }
}

TEST(EstimateOptions, ValuesAndRefusals) {
    const ParsedEstimate ok = ParseEstimateOptions(
        Words("--games=3000 --big 12 --reg 8 --hbig 2 --prior 1,2,3,4,5,6 --format json"), 1, 2);
    ASSERT_TRUE(ok.options) << ok.error;
    EXPECT_EQ(ok.options->input.regs, 8);
    EXPECT_EQ(ok.options->input.hyperBigs, 2);
    EXPECT_EQ(ok.options->input.prior[5], 6);
    EXPECT_EQ(ok.options->format, OutputFormat::Json);
    EXPECT_FALSE(ok.options->help);
    EXPECT_FALSE(ok.options->version);
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"--games 3000 --big 12", "--games、--big、--reg は必ず指定してください"},
        {"--games 3000 --big 12.5 --reg 8", "--big には 0 から 2147483647 までの整数"},
        {"--games 3000 --big 12 --reg 8 --prior 1,1,1", "--prior には重みを 6 つ"},
        {"--games 3000 --big 12 --reg 8 --prior 1,1,1,1,1,x", "--prior には設定1から6の重み"},
        {"--games 3000 --big 12 --reg 8 --setting 3", "不明なオプションです: \"--setting\""},
        {"--games 3000 --big 12 --reg 8 --ar-games 1e9", "ＡＲゲーム数 1000000000 が総ゲーム数"},
        {"--games 0 --big 0 --reg 0", "--games には 1 から 2147483647 までの整数"},
        {"--games 3000 --big 12 --reg 8 --remaining 1000001", "--remaining には 0 から 1000000"},
    };
    for (const auto& [line, phrase] : cases) {
        const ParsedEstimate parsed = ParseEstimateOptions(Words(line), 1, 2);
        EXPECT_FALSE(parsed.options) << line;
        EXPECT_NE(parsed.error.find(phrase), std::string::npos) << line << ": " << parsed.error;
        EXPECT_EQ(parsed.error.find('\n'), std::string::npos) << line;
    }
}

// A failure on any of the program's threads is told in one line, never left to end it.
TEST(CommandLine, FailuresAreToldWithWhatToDo) {
    const std::pair<std::exception_ptr, std::string_view> cases[] = {
        {std::make_exception_ptr(std::bad_alloc()),
         "p: メモリが足りません。--x を減らしてください。"},
        {std::make_exception_ptr(std::length_error("vector")),
         "p: 計算を続けられませんでした: vector"},
        {std::make_exception_ptr(42), "p: 計算を続けられませんでした。"},
    };
    for (const auto& [failure, told] : cases) {
        EXPECT_EQ(FailureMessage(failure, "p", "--x"), std::string(told) + "\n");
    }
}

}  // namespace
}  // namespace taviro::stats
