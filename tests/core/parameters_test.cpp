#include "parameters.h"

#include <gtest/gtest.h>

namespace taviro {
namespace {

SimulationState Loaded(const ParameterTexts& texts, bool history = false) {
    SimulationState s;
    s.KeepsHistory = history;
    EXPECT_EQ(LoadParameters(s, texts), LoadStatus::Loaded);
    return s;
}

TEST(SettingPreset, EachSettingGivesItsWeightsAndThresholds) {
    struct Row {
        const char* setting;
        const char* big;
        const char* reg;
        std::int32_t w, thrBig, thrAr150, thrAr1000, thrReg;
    };
    const Row rows[] = {
        {"1", "485.452", "829.570", 135, 7830, 15525, 15660, 24824},
        {"2", "445.823", "799.220", 147, 8526, 16905, 17052, 26564},
        {"3", "412.176", "771.012", 159, 9222, 18285, 18444, 28304},
        {"4", "381.023", "762.047", 172, 9976, 19780, 19952, 29928},
        {"5", "352.344", "744.727", 186, 10788, 21390, 21576, 31784},
        {"6", "286.183", "720.176", 229, 13282, 26335, 26564, 37120},
    };
    for (const auto& row : rows) {
        const auto preset = SettingPreset(row.setting);
        ASSERT_TRUE(preset) << row.setting;
        EXPECT_EQ(preset->big, row.big);
        EXPECT_EQ(preset->reg, row.reg);
        ParameterTexts texts;
        texts.TexBIG = preset->big;
        texts.TexREG = preset->reg;
        const SimulationState s = Loaded(texts);
        EXPECT_EQ(s.WeightBIG, row.w) << row.setting;
        EXPECT_EQ(s.ThrBIG, row.thrBig) << row.setting;
        EXPECT_EQ(s.ThrBIG_AR150, row.thrAr150) << row.setting;
        EXPECT_EQ(s.ThrBIG_AR1000, row.thrAr1000) << row.setting;
        EXPECT_EQ(s.ThrREG, row.thrReg) << row.setting;
    }
}

TEST(SettingPreset, OnlyTextsReadingExactlyOneToSixSelect) {
    for (const char* text : {"3", "3.0", "03", " 3", "3abc", "3e0"}) {
        ASSERT_TRUE(SettingPreset(text)) << text;
        EXPECT_EQ(SettingPreset(text)->big, "412.176") << text;
    }
    EXPECT_EQ(SettingPreset("1.0")->big, "485.452");
    for (const char* text : {"0", "7", "2.5", "", "25", "abc", "-1"}) {
        EXPECT_FALSE(SettingPreset(text)) << text;
    }
}

TEST(LoadParameters, WeightsFromDenominatorsAndProbabilities) {
    struct Case {
        const char* big;
        std::int32_t weight;
    };
    const Case cases[] = {
        {"1", 65536},     {"0.5", 32768},      {"0", 0},       {"-3", 0},
        {"abc", 0},       {"131072", 0},       {"26214.4", 2}, {"0.00002288818359375", 2},
        {"485.452", 135}, {"0.999999", 65536},
    };
    for (const auto& c : cases) {
        ParameterTexts texts;
        texts.TexBIG = c.big;
        EXPECT_EQ(Loaded(texts).WeightBIG, c.weight) << c.big;
    }
    ParameterTexts everyGameBig;
    everyGameBig.TexBIG = "1";
    EXPECT_EQ(Loaded(everyGameBig).ThrBIG_AR1000, LOTTERY_SPACE);
}

TEST(LoadParameters, DefaultsAndGameCountRounding) {
    const SimulationState s = Loaded(ParameterTexts{});
    EXPECT_EQ(s.GameCount, 8000);
    EXPECT_EQ(s.BaseN, -1.5603781019);
    EXPECT_EQ(s.BaseAR, 1.5842163960);
    EXPECT_EQ(s.OutNBIG, 401.65);
    EXPECT_EQ(s.OutHBIG, 548.011);
    EXPECT_EQ(s.OutREG, 127);

    const std::pair<const char*, std::int32_t> counts[] = {
        {"2.5", 2}, {"3.5", 4}, {"0.4", 0}, {"", 0}, {"-5", -5}, {"2147483647", 2147483647}};
    for (const auto& [text, count] : counts) {
        ParameterTexts texts;
        texts.TexGAME = text;
        EXPECT_EQ(Loaded(texts).GameCount, count) << text;
    }
}

TEST(LoadParameters, AllocatesHistoryOnlyWhenKept) {
    ParameterTexts texts;
    texts.TexGAME = "10";
    const SimulationState full = Loaded(texts, true);
    EXPECT_EQ(full.Balance.size(), 11u);
    EXPECT_EQ(full.GameLog.size(), 11u);
    const SimulationState lite = Loaded(texts, false);
    EXPECT_TRUE(lite.Balance.empty());
    EXPECT_TRUE(lite.GameLog.empty());

    for (const char* count : {"0", "-5"}) {
        texts.TexGAME = count;
        const SimulationState s = Loaded(texts, true);
        EXPECT_EQ(s.Balance.size(), 1u) << count;
        EXPECT_EQ(s.GameLog.size(), 1u) << count;
    }
}

TEST(LoadParameters, RefusedStartsLeaveTheStateUnchanged) {
    struct Case {
        const char* field;
        std::string ParameterTexts::*member;
        const char* text;
        LoadStatus status;
    };
    const Case cases[] = {
        {"TexBIG", &ParameterTexts::TexBIG, "1e400", LoadStatus::NumberTooLarge},
        {"TexREG", &ParameterTexts::TexREG, "-1e999", LoadStatus::NumberTooLarge},
        {"TexGAME", &ParameterTexts::TexGAME, "2147483648", LoadStatus::GameCountTooLarge},
        {"TexGAME", &ParameterTexts::TexGAME, "-2147483649", LoadStatus::GameCountTooLarge},
        {"TexGAME", &ParameterTexts::TexGAME, "1e400", LoadStatus::GameCountTooLarge},
        {"TexN_BASE", &ParameterTexts::TexN_BASE, "1e309", LoadStatus::NumberTooLarge},
        {"TexAR_BASE", &ParameterTexts::TexAR_BASE, "1e309", LoadStatus::NumberTooLarge},
        {"TexNBIG", &ParameterTexts::TexNBIG, "1e309", LoadStatus::NumberTooLarge},
        {"TexHBIG", &ParameterTexts::TexHBIG, "1e309", LoadStatus::NumberTooLarge},
        {"TexREGOUT", &ParameterTexts::TexREGOUT, "-1e309", LoadStatus::NumberTooLarge},
    };
    for (const auto& c : cases) {
        ParameterTexts before;
        before.TexGAME = "3";
        SimulationState s = Loaded(before, true);
        ParameterTexts texts;
        texts.TexBIG = "1";
        texts.*c.member = c.text;
        EXPECT_EQ(LoadParameters(s, texts), c.status) << c.field;
        EXPECT_EQ(s.WeightBIG, 135) << c.field;
        EXPECT_EQ(s.GameCount, 3) << c.field;
        EXPECT_EQ(s.Balance.size(), 4u) << c.field;
    }
}

TEST(LoadParameters, HistoryBeyondTheMemoryLimitIsRefused) {
    SimulationState s;
    s.KeepsHistory = true;
    ParameterTexts texts;
    texts.TexGAME = "1000";
    EXPECT_EQ(HistoryBytes(1000), 1001u * 9);
    EXPECT_EQ(LoadParameters(s, texts, HistoryBytes(1000) - 1), LoadStatus::OutOfMemory);
    EXPECT_EQ(s.GameCount, 0);
    EXPECT_TRUE(s.Balance.empty());
    EXPECT_EQ(LoadParameters(s, texts, HistoryBytes(1000)), LoadStatus::Loaded);

    // The largest count cannot be held by this machine's default limit, but needs no history
    // at all in the light edition.
    texts.TexGAME = "2147483647";
    SimulationState full;
    full.KeepsHistory = true;
    if (HistoryBytes(2147483647) > DefaultHistoryLimit()) {
        EXPECT_EQ(LoadParameters(full, texts), LoadStatus::OutOfMemory);
    }
    SimulationState lite;
    EXPECT_EQ(LoadParameters(lite, texts, 0), LoadStatus::Loaded);
    EXPECT_EQ(lite.GameCount, 2147483647);
}

}  // namespace
}  // namespace taviro
