// The balance over a run of games that all add the same amount, computed in bulk with the same
// doubles as one addition per game.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>

namespace taviro {

// Adds `step` to `balance` `count` times, rounding after every addition as a game-by-game loop
// does, writes each sum to out[0] to out[count - 1] when `out` is given, lowers `lowest` to the
// lowest sum in single precision, and returns the last sum.
double AddRepeatedly(double balance, double step, std::int64_t count, double* out, float& lowest);

// As AddRepeatedly, but of the sums only those after the additions numbered at[i] - offset
// (`at` ascending, numbers from 1 to `count`) are written, to sums[i]: as cheap as no sums at
// all.
double AddRepeatedlyAt(double balance, double step, std::int64_t count,
                       std::span<const std::int64_t> at, std::int64_t offset, double* sums,
                       float& lowest);

// AddRepeatedly without the sums, for many runs of additions in a row, as a game loop makes them:
// it keeps what runs of a step need in the binade of their start (the balance's sign and
// exponent), for the last step of either sign and its binade, so that a run starting in a binade
// known for its step, which then adds one exact amount every time, costs a few integer
// operations. Every other run is AddRepeatedly's.
class RepeatedAdder {
  public:
    double Add(double balance, double step, std::int64_t count, float& lowest) {
        if (count == 1) {  // as AddRepeatedly adds one
            balance = balance + step;
            lowest = std::min(lowest, static_cast<float>(balance));
            return balance;
        }
        std::uint64_t bits;
        std::memcpy(&bits, &balance, sizeof bits);
        std::uint64_t stepBits;
        std::memcpy(&stepBits, &step, sizeof stepBits);
        const std::uint64_t key = bits >> 52;
        // A step of either sign looks first where the last one of its sign went.
        const std::size_t sign = stepBits >> 63;
        const Binade* binade = &binades_[sign];
        if (binade->key != key || binade->stepBits != stepBits) {
            binade = &binades_[sign ^ 1];
            if (binade->key != key || binade->stepBits != stepBits) {
                binade = &Prepare(key, step, sign);
            }
        }
        if (binade->size >= 0 && count >= 2 && count <= kLongestRun) {
            // The significand with its leading bit, and how far it may move before the sums
            // leave the binade.
            const auto magnitude = static_cast<std::int64_t>((bits & kFraction) | kLeading);
            const std::int64_t room = binade->grows ? kTop - binade->size - magnitude
                                                    : magnitude - binade->size - kBottom;
            if (room >= 0 && (count - 1) * binade->size <= room) {
                // The sums move one way: the lowest is the first or the last.
                const double first = balance + binade->amount;
                balance = balance + static_cast<double>(count) * binade->amount;
                lowest = std::min(lowest, static_cast<float>(binade->amount < 0 ? balance : first));
                return balance;
            }
        }
        return AddRepeatedly(balance, step, count, nullptr, lowest);
    }

  private:
    static constexpr std::int64_t kLongestRun = 2048;
    static constexpr std::uint64_t kFraction = (std::uint64_t{1} << 52) - 1;
    static constexpr std::uint64_t kLeading = std::uint64_t{1} << 52;
    static constexpr std::int64_t kTop = (std::int64_t{1} << 53) - 1;
    static constexpr std::int64_t kBottom = (std::int64_t{1} << 52) + 1;

    struct Binade {
        std::uint64_t key = ~std::uint64_t{0};  // sign and biased exponent
        std::uint64_t stepBits = 0;
        double amount = 0;       // what each addition adds, exactly
        std::int64_t size = -1;  // the amount in units of the binade's spacing; -1: not known
        bool grows = false;      // whether the additions move away from 0
    };

    // Works out the binade `key` for `step`, whose sign is `sign`, in the place of that sign.
    const Binade& Prepare(std::uint64_t key, double step, std::size_t sign);

    Binade binades_[2];
};

}  // namespace taviro
