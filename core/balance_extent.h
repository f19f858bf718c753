// The lowest and highest of some balances, as the slump graph fits and draws them.
#pragma once

#include <algorithm>
#include <cmath>
#include <limits>

namespace taviro {

// Values that are not finite numbers are left out.
struct BalanceExtent {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();

    bool Empty() const { return !(low <= high); }
    void Add(double balance) {
        if (!std::isfinite(balance)) return;
        low = std::min(low, balance);
        high = std::max(high, balance);
    }
    void Add(const BalanceExtent& other) {
        low = std::min(low, other.low);
        high = std::max(high, other.high);
    }
};

}  // namespace taviro
