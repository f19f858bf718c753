// What the random orders of one stratum found: the sums that estimate each setting's share of the
// likelihood and its error, and where the machine stood after the games. Shared by the two ways
// of playing orders (at random over the games, or steered through the machine's own time).
#pragma once

#include <algorithm>
#include <array>
#include <compare>
#include <cstdint>
#include <map>
#include <vector>

#include "estimation/bonus_machine.h"
#include "estimation/likelihood.h"

namespace taviro::stats {

// What the machine must be doing after the last game, besides showing the counts.
enum class EndRule {
    Any,
    LastGameNormal,  // the last game was a normal game (an AR may start with the next)
    ArOver,          // in normal play: the last game was a normal one, or an AR's last
};

// Where an order left the machine, and the length of the AR that the game after it starts (0
// when the order covers all the games played).
struct OrderEnd {
    bool operator==(const OrderEnd&) const = default;
    std::strong_ordering operator<=>(const OrderEnd&) const = default;

    MachineState state;
    std::int32_t arLength = 0;
};

// An order's worth under each setting, for one of the ways it may end.
struct OrderWorth {
    OrderEnd end;
    PerSetting worth{};
};

struct OrderTally {
    std::int64_t matches = 0;                      // orders that showed the counter
    double most = 0, mostSquares = 0;              // what they count for at most over the settings
    PerSetting sum{};                              // what they count for under each setting
    std::array<PerSetting, kSettings> products{};  // ... and its products, for the error
    std::map<OrderEnd, PerSetting> ends;           // the sums by where the machine ended

    // One order that showed the counter, counting for `most` at most over the settings.
    void Add(const std::vector<OrderWorth>& worths, double mostWorth) {
        ++matches;
        most += mostWorth;
        mostSquares += mostWorth * mostWorth;
        PerSetting total{};
        for (const OrderWorth& w : worths) {
            PerSetting& end = ends[w.end];
            for (std::size_t s = 0; s < kSettings; ++s) {
                end[s] += w.worth[s];
                total[s] += w.worth[s];
            }
        }
        for (std::size_t a = 0; a < kSettings; ++a) {
            sum[a] += total[a];
            for (std::size_t b = 0; b < kSettings; ++b) products[a][b] += total[a] * total[b];
        }
    }

    void Merge(const OrderTally& other) {
        matches += other.matches;
        most += other.most;
        mostSquares += other.mostSquares;
        for (std::size_t a = 0; a < kSettings; ++a) {
            sum[a] += other.sum[a];
            for (std::size_t b = 0; b < kSettings; ++b) products[a][b] += other.products[a][b];
        }
        for (const auto& [end, worth] : other.ends) {
            PerSetting& mine = ends[end];
            for (std::size_t s = 0; s < kSettings; ++s) mine[s] += worth[s];
        }
    }
};

// Orders split the BIGs 58 : 57 : 1; each setting's exact split differs by a few of the 2^24
// values, which these factors make up for: an order with n150 BIGs with AR150 and n1000 with
// AR1000 counts for ratio150^n150 · ratio1000^n1000 under the setting.
struct KindRatios {
    explicit KindRatios(const std::array<SettingOdds, kSettings>& odds) {
        for (std::size_t s = 0; s < kSettings; ++s) {
            const auto& v = odds[s].values;
            const auto bigs = static_cast<double>(v[0] + v[1] + v[2]);
            ratio150[s] = static_cast<double>(v[1]) / bigs * 116 / 57;
            ratio1000[s] = static_cast<double>(v[2]) / bigs * 116;
        }
    }

    // ratio^0 to ratio^upTo for each setting.
    static std::array<std::vector<double>, kSettings> Powers(const PerSetting& ratio,
                                                             std::int64_t upTo) {
        std::array<std::vector<double>, kSettings> powers;
        for (std::size_t s = 0; s < kSettings; ++s) {
            std::vector<double>& p = powers[s];
            p.assign(static_cast<std::size_t>(std::max<std::int64_t>(upTo, 0)) + 1, 1.0);
            for (std::size_t k = 1; k < p.size(); ++k) p[k] = p[k - 1] * ratio[s];
        }
        return powers;
    }

    PerSetting ratio150{}, ratio1000{};
};

}  // namespace taviro::stats
