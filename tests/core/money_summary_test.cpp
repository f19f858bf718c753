#include "core/money_summary.h"

#include <gtest/gtest.h>

namespace taviro {
namespace {

TEST(MoneySummary, NotesCoinsAndNetResult) {
    // Lowest balance, virtual out, rate, investment, final coins and net result (nullptr: LabPlus
    // keeps its caption).
    const std::tuple<float, double, const char*, const char*, const char*, const char*> cases[] = {
        {0, 2.5, "5", "1千円", "52枚", "0千円"},  // 52.5 coins: a tie to the even 52
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
    for (const auto& [lowest, virtualOut, rate, investment, coins, net] : cases) {
        SCOPED_TRACE(std::to_string(lowest) + " " + rate);
        const MoneySummary s = ComputeMoneySummary(lowest, virtualOut, rate);
        EXPECT_EQ(s.investment, investment);
        EXPECT_EQ(s.finalCoins, coins);
        EXPECT_EQ(s.netResult, net ? std::optional<std::string>(net) : std::nullopt);
    }
}

}  // namespace
}  // namespace taviro
