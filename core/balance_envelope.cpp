#include "core/balance_envelope.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace taviro {

namespace {

// Lowest and highest of `balances`, leaving out NaNs (never below or above anything) but not
// infinities; four of each at a time so that the comparisons need not wait on each other.
BalanceExtent FastExtentOf(std::span<const double> balances) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    double low[4] = {kInf, kInf, kInf, kInf};
    double high[4] = {-kInf, -kInf, -kInf, -kInf};
    std::size_t i = 0;
    for (; i + 4 <= balances.size(); i += 4) {
        for (std::size_t j = 0; j < 4; ++j) {
            const double b = balances[i + j];
            low[j] = b < low[j] ? b : low[j];
            high[j] = b > high[j] ? b : high[j];
        }
    }
    for (; i < balances.size(); ++i) {
        low[0] = balances[i] < low[0] ? balances[i] : low[0];
        high[0] = balances[i] > high[0] ? balances[i] : high[0];
    }
    return {std::min({low[0], low[1], low[2], low[3]}),
            std::max({high[0], high[1], high[2], high[3]})};
}

BalanceExtent ExtentOf(std::span<const double> balances) {
    const BalanceExtent extent = FastExtentOf(balances);
    if (extent.Empty() || (std::isfinite(extent.low) && std::isfinite(extent.high))) return extent;
    BalanceExtent finite;  // rare: an infinity among them
    for (double b : balances) finite.Add(b);
    return finite;
}

}  // namespace

void BalanceExtent::Add(double balance) {
    if (!std::isfinite(balance)) return;
    low = std::min(low, balance);
    high = std::max(high, balance);
}

void BalanceExtent::Add(const BalanceExtent& other) {
    low = std::min(low, other.low);
    high = std::max(high, other.high);
}

BalanceEnvelope::BalanceEnvelope(std::span<const double> balance) : size_(balance.size()) {
    blocks_.reserve((size_ + kBlock - 1) / kBlock);
    for (std::size_t first = 0; first < size_; first += kBlock) {
        blocks_.push_back(ExtentOf(balance.subspan(first, std::min(kBlock, size_ - first))));
    }
}

void BalanceEnvelope::Reset(std::size_t size) {
    blocks_.assign((size + kBlock - 1) / kBlock, BalanceExtent{0, 0});
    size_ = size;
}

void BalanceEnvelope::Record(std::size_t game, double balance) {
    BalanceExtent& block = blocks_[game / kBlock];
    if (game % kBlock == 0) block = {};
    block.Add(balance);
}

void BalanceEnvelope::RecordOneWay(std::size_t first, std::span<const double> balances) {
    for (std::size_t part = 0; part < balances.size();) {
        const std::size_t game = first + part;
        const std::size_t count = std::min(balances.size() - part, kBlock - game % kBlock);
        BalanceExtent& block = blocks_[game / kBlock];
        if (game % kBlock == 0) block = {};
        const double a = balances[part];
        const double b = balances[part + count - 1];
        if (std::isfinite(a) && std::isfinite(b)) {
            block.Add(a);
            block.Add(b);
        } else {
            block.Add(ExtentOf(balances.subspan(part, count)));  // rare: beyond the number range
        }
        part += count;
    }
}

BalanceExtent BalanceEnvelope::Whole() const {
    BalanceExtent whole;
    for (const BalanceExtent& block : blocks_) whole.Add(block);
    return whole;
}

BalanceExtent BalanceEnvelope::Of(std::span<const double> balance, std::size_t first,
                                  std::size_t last) const {
    if (first > last) return {};
    const std::size_t firstWhole = (first + kBlock - 1) / kBlock;  // blocks inside the range
    const std::size_t endWhole = (last + 1) / kBlock;
    if (firstWhole >= endWhole) return ExtentOf(balance.subspan(first, last - first + 1));
    BalanceExtent extent = ExtentOf(balance.subspan(first, firstWhole * kBlock - first));
    for (std::size_t k = firstWhole; k < endWhole; ++k) extent.Add(blocks_[k]);
    extent.Add(ExtentOf(balance.subspan(endWhole * kBlock, last + 1 - endWhole * kBlock)));
    return extent;
}

}  // namespace taviro
