#include "core/result_texts.h"

#include <gtest/gtest.h>

#include <map>

namespace taviro {
namespace {

std::map<std::string_view, std::string> TextsOf(const SimulationState& s) {
    const ResultTextList texts = ResultTexts(s);
    std::map<std::string_view, std::string> byName;
    for (std::size_t i = 0; i < kResultCount; ++i) byName[kResultControls[i]] = texts[i];
    return byName;
}

TEST(ResultTexts, FrequenciesSharesAndTies) {
    SimulationState s;
    s.GameCount = 8000, s.CntHBIG = 5, s.CntNBIG = 12, s.CntREG = 10, s.CntAR150 = 7;
    s.CntAR1000 = 1, s.CntARGames = 2345, s.LsBIG = 2, s.LsAR150 = 1, s.LsAR1000 = 4, s.ARLeft = 37;
    s.RegStock = 3, s.VirtualOut = -5284.5;  // a tie: rounds to the even -5284
    s.Payout = 97.72149999;
    const std::map<std::string_view, std::string> expected = {
        {"TexD_BIG", "17"},       {"TexD_HBIG", "5"},      {"TexD_NBIG", "12"},
        {"TexD_REG", "10"},       {"TexD_AR", "2345"},     {"LabP_BIG", "1/470.588"},
        {"LabP_HBIG", "29.41%"},  {"LabP_NBIG", "70.59%"}, {"LabP_REG", "1/800"},
        {"TexD_AR150", "7"},      {"TexD_AR1000", "1"},    {"LabD_AR150", "41.18%"},
        {"LabD_AR1000", "5.88%"}, {"TexD_BIG_LS", "2"},    {"TexD_AR150_LS", "1"},
        {"TexD_AR1000_LS", "4"},  {"TexG_AR", "37"},       {"TexST_REG", "3"},
        {"LabP_AR", "29.312%"},  // 29.3125 is an exact tie
        {"TexOUT", "-5284"},      {"TexPAY", "97.721"},
    };
    EXPECT_EQ(TextsOf(s), expected);
}

TEST(ResultTexts, EachControlIsFoundAtItsPlace) {
    for (std::size_t i = 0; i < kResultCount; ++i) EXPECT_EQ(ResultIndex(kResultControls[i]), i);
    EXPECT_EQ(ResultIndex("Combo1"), kResultCount);
}

TEST(ResultTexts, EmptyWhenTheDivisorIsZero) {
    SimulationState s;
    s.GameCount = 8000, s.CntAR150 = 2;  // AR150s drawn but still held
    const auto t = TextsOf(s);
    for (const char* name : {"LabP_BIG", "LabP_HBIG", "LabP_NBIG", "LabD_AR150", "LabD_AR1000",
                             "LabP_REG", "LabP_AR"}) {
        EXPECT_EQ(t.at(name), "") << name;
    }
    EXPECT_EQ(t.at("TexD_BIG"), "0");
    EXPECT_EQ(t.at("TexD_AR150"), "2");
}

TEST(ResultTexts, VirtualOutOnlyBelowTenMillionGames) {
    const std::tuple<std::int32_t, double, const char*> cases[] = {
        {9999999, 1234.4, "1234"}, {10000000, 1234.4, ""}, {100, 1e300 * 1e10, ""}};
    for (const auto& [games, virtualOut, text] : cases) {
        SimulationState s;
        s.GameCount = games, s.VirtualOut = virtualOut;
        EXPECT_EQ(TextsOf(s).at("TexOUT"), text) << games;
    }
}

TEST(ResultTexts, SharesOfLargeCountsAreExact) {
    SimulationState s;
    s.GameCount = 2147483647;
    s.CntARGames = 2000000000;  // × 100 is far beyond 32 bits
    s.CntHBIG = 30000000, s.CntNBIG = 10000000;
    const auto t = TextsOf(s);
    EXPECT_EQ(t.at("LabP_AR"), "93.132%");
    EXPECT_EQ(t.at("LabP_HBIG"), "75%");
    EXPECT_EQ(t.at("TexD_BIG"), "40000000");
}

}  // namespace
}  // namespace taviro
