// The money summary of a run: thousand-yen notes put in, coins at the end, and the net result
// at an exchange rate.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace taviro {

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
