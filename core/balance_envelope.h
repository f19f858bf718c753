// The lowest and highest balance of every block of games of a run, so that the slump graph can fit
// and draw a run of any length in about the time of its pixel columns. The run's history recorder
// keeps it as it writes the balances; it can also be read from finished balances.
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

    BalanceEnvelope() = default;
    // Reads every balance once.
    explicit BalanceEnvelope(std::span<const double> balance);

    // Room for `size` balances that are all 0, as a newly allocated history holds. Throws
    // std::bad_alloc when it cannot.
    void Reset(std::size_t size);
    // The balance of game `game`. Games are recorded in order, each once; the first game of a
    // block replaces what the block held.
    void Record(std::size_t game, double balance);
    // The balances of games `first` on, which move one way only (quiet games add the same base
    // each), so that the two ends of each block's part tell its extent.
    void RecordOneWay(std::size_t first, std::span<const double> balances);

    // The number of balances it was read from.
    std::size_t Size() const { return size_; }
    BalanceExtent Whole() const;
    // The memory its blocks take.
    std::size_t Bytes() const { return blocks_.capacity() * sizeof(BalanceExtent); }
    // The extent of balance[first] to balance[last], both included, from the blocks they cover
    // whole and the balances of the blocks they cover in part. `balance` is the one it was read
    // from; `last` is below Size().
    BalanceExtent Of(std::span<const double> balance, std::size_t first, std::size_t last) const;

  private:
    std::size_t size_ = 0;
    std::vector<BalanceExtent> blocks_;
};

}  // namespace taviro
