#include "money_summary.h"

#include <cmath>

#include "numbers.h"

namespace taviro {

namespace {
constexpr double kCoinsPerNote = 50;  // one thousand-yen note buys 50 coins
}

MoneySummary ComputeMoneySummary(float lowestBalance, double virtualOut,
                                 std::string_view rateText) {
    // Notes spent: one at the start and one more for every full 50 coins below 0.
    const float notes =
        static_cast<float>(Floor(-static_cast<double>(lowestBalance) / kCoinsPerNote + 1));
    const float boughtCoins = notes * static_cast<float>(kCoinsPerNote);
    const double coins = RoundHalfEven(virtualOut, 0) + static_cast<double>(boughtCoins);

    MoneySummary summary;
    summary.investment = FormatNumber(notes) + "千円";
    summary.finalCoins = FormatNumber(coins) + "枚";
    const double rate = ParseNumber(rateText);
    if (rate != 0) {
        const double net = RoundHalfEven(coins / rate / 10 - notes, 1);
        if (std::isfinite(net)) summary.netResult = FormatNumber(net) + "千円";
    }
    return summary;
}

}  // namespace taviro
