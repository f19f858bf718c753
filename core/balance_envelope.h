// The lowest and highest balance of every block of games of a run, read once so that the slump
// graph can fit and draw a run of any length in about the time of its pixel columns.
#pragma once

#include <cstddef>
#include <limits>
#include <span>
#include <vector>

namespace taviro {

// The lowest and highest of some balances; values that are not finite numbers are left out.
struct BalanceExtent {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();

    bool Empty() const { return !(low <= high); }
    void Add(double balance);
    void Add(const BalanceExtent& other);
};

class BalanceEnvelope {
  public:
    static constexpr std::size_t kBlock = 256;  // games per block

    // Reads every balance once.
    explicit BalanceEnvelope(std::span<const double> balance);

    // The number of balances it was read from.
    std::size_t Size() const { return size_; }
    BalanceExtent Whole() const { return whole_; }
    // The extent of balance[first] to balance[last], both included, from the blocks they cover
    // whole and the balances of the blocks they cover in part. `balance` is the one it was read
    // from; `last` is below Size().
    BalanceExtent Of(std::span<const double> balance, std::size_t first, std::size_t last) const;

  private:
    std::size_t size_;
    std::vector<BalanceExtent> blocks_;
    BalanceExtent whole_;
};

}  // namespace taviro
