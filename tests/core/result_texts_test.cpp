#include "result_texts.h"

#include <gtest/gtest.h>

#include <map>

namespace taviro {
namespace {

std::map<std::string, std::string> TextsOf(const SimulationState& s) {
    std::map<std::string, std::string> byName;
    for (const auto& [control, text] : ResultTexts(s)) byName[std::string(control)] = text;
    return byName;
}

TEST(ResultTexts, WrittenInTheDisplayOrder) {
    const auto texts = ResultTexts(SimulationState{});
    const char* order[] = {"TexD_BIG",    "TexD_HBIG",   "TexD_NBIG",     "TexD_REG",
                           "TexD_AR",     "LabP_BIG",    "LabP_HBIG",     "LabP_NBIG",
                           "LabP_REG",    "TexD_AR150",  "TexD_AR1000",   "LabD_AR150",
                           "LabD_AR1000", "TexD_BIG_LS", "TexD_AR150_LS", "TexD_AR1000_LS",
                           "TexG_AR",     "TexST_REG",   "LabP_AR",       "TexOUT",
                           "TexPAY"};
    for (std::size_t i = 0; i < kResultCount; ++i) EXPECT_EQ(texts[i].control, order[i]);
    EXPECT_EQ(texts[kResultsBeforeMoneySummary - 1].control, "TexST_REG");
}

TEST(ResultTexts, FrequenciesSharesAndTies) {
    SimulationState s;
    s.GameCount = 8000;
    s.CntHBIG = 5;
    s.CntNBIG = 12;
    s.CntREG = 10;
    s.CntAR150 = 7;
    s.CntAR1000 = 1;
    s.CntARGames = 2345;
    s.LsBIG = 2;
    s.LsAR150 = 1;
    s.ARLeft = 37;
    s.RegStock = 3;
    s.VirtualOut = -5284.5;  // a tie: rounds to the even -5284
    s.Payout = 97.72049999;
    const auto t = TextsOf(s);
    EXPECT_EQ(t.at("TexD_BIG"), "17");
    EXPECT_EQ(t.at("TexD_HBIG"), "5");
    EXPECT_EQ(t.at("LabP_BIG"), "1/470.588");
    EXPECT_EQ(t.at("LabP_HBIG"), "29.41%");
    EXPECT_EQ(t.at("LabP_NBIG"), "70.59%");
    EXPECT_EQ(t.at("LabP_REG"), "1/800");
    EXPECT_EQ(t.at("LabD_AR150"), "41.18%");
    EXPECT_EQ(t.at("LabD_AR1000"), "5.88%");
    EXPECT_EQ(t.at("LabP_AR"), "29.312%");  // 29.3125 is an exact tie
    EXPECT_EQ(t.at("TexD_BIG_LS"), "2");
    EXPECT_EQ(t.at("TexD_AR1000_LS"), "0");
    EXPECT_EQ(t.at("TexG_AR"), "37");
    EXPECT_EQ(t.at("TexST_REG"), "3");
    EXPECT_EQ(t.at("TexOUT"), "-5284");
    EXPECT_EQ(t.at("TexPAY"), "97.72");
}

TEST(ResultTexts, EmptyWhenTheDivisorIsZero) {
    SimulationState s;
    s.GameCount = 8000;
    s.CntAR150 = 2;  // drawn but still held
    const auto t = TextsOf(s);
    for (const char* name : {"LabP_BIG", "LabP_HBIG", "LabP_NBIG", "LabD_AR150", "LabD_AR1000",
                             "LabP_REG", "LabP_AR"}) {
        EXPECT_EQ(t.at(name), "") << name;
    }
    EXPECT_EQ(t.at("TexD_BIG"), "0");
    EXPECT_EQ(t.at("TexD_AR150"), "2");
}

TEST(ResultTexts, VirtualOutOnlyBelowTenMillionGames) {
    SimulationState s;
    s.VirtualOut = 1234.4;
    s.GameCount = 9999999;
    EXPECT_EQ(TextsOf(s).at("TexOUT"), "1234");
    s.GameCount = 10000000;
    EXPECT_EQ(TextsOf(s).at("TexOUT"), "");
    s.VirtualOut = 1e300 * 1e10;  // left the double range
    s.GameCount = 100;
    EXPECT_EQ(TextsOf(s).at("TexOUT"), "");
}

TEST(ResultTexts, SharesOfLargeCountsAreExact) {
    SimulationState s;
    s.GameCount = 2147483647;
    s.CntARGames = 2000000000;  // × 100 is far beyond 32 bits
    s.CntHBIG = 30000000;
    s.CntNBIG = 10000000;
    const auto t = TextsOf(s);
    EXPECT_EQ(t.at("LabP_AR"), "93.132%");
    EXPECT_EQ(t.at("LabP_HBIG"), "75%");
    EXPECT_EQ(t.at("TexD_BIG"), "40000000");
}

}  // namespace
}  // namespace taviro
