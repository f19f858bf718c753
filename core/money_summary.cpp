#include "core/money_summary.h"

#include <cmath>

#include "core/numbers.h"

namespace taviro {

namespace {
constexpr double kCoinsPerNote = 50;  // one thousand-yen note buys 50 coins
}

MoneyFigures ComputeMoneyFigures(float lowestBalance, double virtualOut, double rate) {
    // Notes spent: one at the start and one more for every full 50 coins below 0.
    const auto notes =
        static_cast<float>(Floor(-static_cast<double>(lowestBalance) / kCoinsPerNote + 1));
    const float boughtCoins = notes * static_cast<float>(kCoinsPerNote);
    MoneyFigures figures{notes, RoundHalfEven(virtualOut, 0) + static_cast<double>(boughtCoins),
                         std::nullopt};
    if (rate != 0) {
        const double net = RoundHalfEven(figures.coins / rate / 10 - notes, 1);
        if (std::isfinite(net)) figures.net = net;
    }
    return figures;
}

MoneySummary ComputeMoneySummary(float lowestBalance, double virtualOut,
                                 std::string_view rateText) {
    const MoneyFigures figures =
        ComputeMoneyFigures(lowestBalance, virtualOut, ParseNumber(rateText));
    MoneySummary summary{FormatNumber(figures.notes) + "千円", FormatNumber(figures.coins) + "枚",
                         std::nullopt};
    if (figures.net) summary.netResult = FormatNumber(*figures.net) + "千円";
    return summary;
}

}  // namespace taviro
