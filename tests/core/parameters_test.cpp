#include "core/parameters.h"

#include <gtest/gtest.h>

namespace taviro {
namespace {

SimulationState Loaded(const ParameterTexts& texts, bool history = false) {
    std::optional<SimulationState> s = PreparedState(texts, history);
    EXPECT_TRUE(s);
    return s.value_or(SimulationState{});
}

TEST(SettingPreset, OnlyTextsReadingOneToSixSelectTheirSettingsThresholds) {
    for (const char* text : {"3", "3.0", "03", " 3", "3abc"}) {
        EXPECT_EQ(SettingPreset(text).value_or(PresetTexts{}).big, "412.176") << text;
    }
    for (const char* text : {"0", "7", "2.5", "", "25", "-1"})
        EXPECT_FALSE(SettingPreset(text)) << text;
    // Each setting's thresholds of a BIG, a BIG with AR150, with AR1000 and a REG.
    const std::array<std::int32_t, 4> thresholds[] = {
        {7830, 15525, 15660, 24824}, {8526, 16905, 17052, 26564},  {9222, 18285, 18444, 28304},
        {9976, 19780, 19952, 29928}, {10788, 21390, 21576, 31784}, {13282, 26335, 26564, 37120}};
    for (int setting = 1; setting <= 6; ++setting) {
        const auto [big, reg] = SettingPreset(std::to_string(setting)).value();
        ParameterTexts texts;
        texts.TexBIG = big, texts.TexREG = reg;
        const SimulationState s = Loaded(texts);
        EXPECT_EQ((std::array{s.ThrBIG, s.ThrBIG_AR150, s.ThrBIG_AR1000, s.ThrREG}),
                  thresholds[setting - 1])
            << setting;
    }
}

TEST(LoadParameters, WeightsFromDenominatorsAndProbabilities) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"1", 65536},     {"0.5", 32768},      {"0", 0},       {"-3", 0},
        {"abc", 0},       {"131072", 0},       {"26214.4", 2}, {"0.00002288818359375", 2},
        {"485.452", 135}, {"0.999999", 65536},
    };
    for (const auto& [big, weight] : cases) {
        ParameterTexts texts;
        texts.TexBIG = big;
        texts.TexREG = big;
        const SimulationState s = Loaded(texts);
        EXPECT_EQ(s.WeightBIG, weight) << big;
        EXPECT_EQ(s.ThrREG, 2 * weight * 116) << big;
    }
}

TEST(LoadParameters, RefusedStartsLeaveTheStateUnchanged) {
    const std::tuple<std::string ParameterTexts::*, const char*, LoadStatus> cases[] = {
        {&ParameterTexts::TexBIG, "1e400", LoadStatus::NumberTooLarge},
        {&ParameterTexts::TexREG, "-1e999", LoadStatus::NumberTooLarge},
        {&ParameterTexts::TexGAME, "2147483648", LoadStatus::GameCountTooLarge},
        {&ParameterTexts::TexGAME, "-2147483649", LoadStatus::GameCountTooLarge},
        {&ParameterTexts::TexN_BASE, "1e309", LoadStatus::NumberTooLarge},
        {&ParameterTexts::TexAR_BASE, "1e309", LoadStatus::NumberTooLarge},
        {&ParameterTexts::TexNBIG, "1e309", LoadStatus::NumberTooLarge},
        {&ParameterTexts::TexHBIG, "1e309", LoadStatus::NumberTooLarge},
        {&ParameterTexts::TexREGOUT, "-1e309", LoadStatus::NumberTooLarge},
        {&ParameterTexts::TexGAME, "1000", LoadStatus::OutOfMemory},  // over the limit below
    };
    for (const auto& [field, text, status] : cases) {
        SCOPED_TRACE(text);
        ParameterTexts before;
        before.TexGAME = "3";
        SimulationState s = Loaded(before, true);
        ParameterTexts texts;
        texts.TexBIG = "1";
        texts.*field = text;
        EXPECT_EQ(LoadParameters(s, texts, HistoryBytes(1000, s.ThrREG) - 1), status);
        EXPECT_EQ(s.WeightBIG, 135);
        EXPECT_EQ(s.GameCount, 3);
        EXPECT_EQ(s.History.Size(), 4u);
    }
}

TEST(LoadParameters, HistoryWithinTheLimitOnly) {
    ParameterTexts texts;
    texts.TexGAME = "1000";
    const std::int32_t threshold = Loaded(texts).ThrREG;
    EXPECT_TRUE(PreparedState(texts, true, HistoryBytes(1000, threshold)));
    EXPECT_FALSE(PreparedState(texts, true, HistoryBytes(1000, threshold) - 1));
    // At every setting the largest run fits in a quarter of a byte a game.
    for (const PresetTexts& preset : kSettingPresets) {
        texts.TexBIG = preset.big, texts.TexREG = preset.reg;
        EXPECT_LT(HistoryBytes(2147483647, Loaded(texts).ThrREG), 2147483647 / 4) << preset.big;
    }
    // The light edition keeps none, whatever the count.
    texts.TexGAME = "2147483647";
    EXPECT_TRUE(PreparedState(texts, false, 0));
}

}  // namespace
}  // namespace taviro
