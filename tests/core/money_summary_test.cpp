#include "core/money_summary.h"

#include <gtest/gtest.h>

namespace taviro {
namespace {

TEST(MoneySummary, NotesCoinsAndNetResult) {
    struct Case {
        float lowest;
        double virtualOut;
        const char* rate;
        const char* investment;
        const char* coins;
        const char* net;  // nullptr: LabPlus keeps its caption
    };
    const Case cases[] = {
        {0, 0, "5", "1千円", "50枚", "0千円"},
        {-49, 0, "5", "1千円", "50枚", "0千円"},
        {-50, 0, "5", "2千円", "100枚", "0千円"},
        {-1234.5f, 3000.4, "5", "25千円", "4250枚", "60千円"},
        {-1234.5f, 3000.4, "7.6", "25千円", "4250枚", "30.9千円"},
        {-1234.5f, 3000.4, "7.", "25千円", "4250枚", "35.7千円"},
        {-1234.5f, 3000.4, "-5", "25千円", "4250枚", "-110千円"},
        {-1234.5f, 3000.4, "0", "25千円", "4250枚", nullptr},
        {-1234.5f, 3000.4, "", "25千円", "4250枚", nullptr},
        {-1234.5f, 3000.4, "abc", "25千円", "4250枚", nullptr},
        {-1234.5f, 3000.4, "1e-320", "25千円", "4250枚", nullptr},  // the quotient leaves the range
        {-1e9f, -1e9, "5", "2E+07千円", "0枚", "-20000000千円"},  // notes held in single precision
    };
    for (const auto& c : cases) {
        const MoneySummary s = ComputeMoneySummary(c.lowest, c.virtualOut, c.rate);
        EXPECT_EQ(s.investment, c.investment) << c.lowest << " " << c.rate;
        EXPECT_EQ(s.finalCoins, c.coins) << c.lowest << " " << c.rate;
        if (c.net == nullptr) {
            EXPECT_FALSE(s.netResult) << c.rate;
        } else {
            EXPECT_EQ(s.netResult.value_or("(kept)"), c.net) << c.lowest << " " << c.rate;
        }
    }
}

}  // namespace
}  // namespace taviro
