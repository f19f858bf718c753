// The money summary of a run: thousand-yen notes put in, coins at the end, and the net result
// at an exchange rate.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace taviro {

// The figures: notes in single precision as the summary keeps them, coins and net result in double.
struct MoneyFigures {
    float notes;                // thousand-yen notes put in
    double coins;               // coins at the end: the virtual out plus the coins bought
    std::optional<double> net;  // thousand yen, to one decimal; nothing for a rate of 0 or a
                                // result that is not a finite number
};

MoneyFigures ComputeMoneyFigures(float lowestBalance, double virtualOut, double rate);

struct MoneySummary {
    std::string investment;  // LabMin
    std::string finalCoins;  // LabOUT
    // LabPlus; nothing when the label keeps its caption (a rate that reads as 0, or a result
    // that is not a finite number).
    std::optional<std::string> netResult;
};

// `lowestBalance` and `virtualOut` of the run; `rateText` in coins per 100 yen.
MoneySummary ComputeMoneySummary(float lowestBalance, double virtualOut, std::string_view rateText);

}  // namespace taviro
