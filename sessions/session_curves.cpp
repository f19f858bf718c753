#include "sessions/session_curves.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cassert>
#include <cmath>
#include <limits>

#include "core/parallel_tasks.h"

namespace taviro::stats {

namespace {

constexpr std::array<double, 5> kPercents = {5, 25, 50, 75, 95};

// The values of the given ranks (in any order, repeats allowed: a few values give the same rank
// to several percentiles) in the sorted order of `values`, finite numbers. The values are counted
// into buckets of equal width from the lowest to the highest (the bucket grows with the value, so
// the buckets keep the order of the values); only the few buckets that hold a wanted rank are
// sorted.
template <std::size_t N>
std::array<float, N> ValuesOfRanks(std::span<const float> values,
                                   const std::array<std::size_t, N>& ranks) {
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    std::array<float, N> found{};
    if (*low == *high) {
        found.fill(*low);
        return found;
    }
    constexpr std::size_t kBuckets = 2048;
    // In double precision no difference of floats overflows; rounding keeps the order, and a
    // product that rounds up to kBuckets is held in the last bucket.
    const double lowest = *low;
    const double scale = static_cast<double>(kBuckets) / (static_cast<double>(*high) - lowest);
    std::vector<std::uint16_t> bucketOf(values.size());
    // Four tallies in turn, so that a run of equal values does not wait on one counter.
    std::array<std::array<std::uint32_t, kBuckets>, 4> tallies{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        const auto b = static_cast<std::uint16_t>(
            std::min(kBuckets - 1, static_cast<std::size_t>((values[i] - lowest) * scale)));
        bucketOf[i] = b;
        ++tallies[i & 3][b];
    }
    // The bucket of each rank and the rank of that bucket's first value.
    std::array<std::int16_t, kBuckets> slot;
    slot.fill(-1);
    std::array<std::size_t, N> bucket{}, before{};
    std::array<std::size_t, N> held{};  // sizes of the wanted buckets, by slot
    // The ranks are met in ascending order as the buckets are walked.
    std::array<std::size_t, N> byRank{};
    for (std::size_t r = 0; r < N; ++r) byRank[r] = r;
    std::stable_sort(byRank.begin(), byRank.end(),
                     [&](std::size_t a, std::size_t b) { return ranks[a] < ranks[b]; });
    std::size_t slots = 0, seen = 0, wanted = 0;
    for (std::size_t b = 0; b < kBuckets && wanted < N; ++b) {
        const std::size_t count = tallies[0][b] + tallies[1][b] + tallies[2][b] + tallies[3][b];
        while (wanted < N && ranks[byRank[wanted]] < seen + count) {
            bucket[byRank[wanted]] = b;
            before[byRank[wanted]] = seen;
            if (slot[b] < 0) {
                held[slots] = count;
                slot[b] = static_cast<std::int16_t>(slots++);
            }
            ++wanted;
        }
        seen += count;
    }
    std::array<std::size_t, N + 1> start{};
    for (std::size_t i = 0; i < slots; ++i) start[i + 1] = start[i] + held[i];
    std::vector<float> kept(start[slots]);
    std::array<std::size_t, N> fill{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (const std::int16_t k = slot[bucketOf[i]]; k >= 0) {
            const auto s = static_cast<std::size_t>(k);
            kept[start[s] + fill[s]++] = values[i];
        }
    }
    for (std::size_t r = 0; r < N; ++r) {
        const auto s = static_cast<std::size_t>(slot[bucket[r]]);
        assert(ranks[r] >= before[r] && ranks[r] - before[r] < held[s]);
        const auto first = kept.begin() + static_cast<std::ptrdiff_t>(start[s]);
        const auto nth = first + static_cast<std::ptrdiff_t>(ranks[r] - before[r]);
        std::nth_element(first, nth, kept.begin() + static_cast<std::ptrdiff_t>(start[s + 1]));
        found[r] = *nth;
    }
    return found;
}

}  // namespace

Band BandOf(std::span<const float> values) {
    Band band;
    if (!std::all_of(values.begin(), values.end(), [](float v) { return std::isfinite(v); })) {
        const double none = std::numeric_limits<double>::quiet_NaN();
        band.p5 = band.p25 = band.p50 = band.p75 = band.p95 = none;
        return band;
    }
    const std::size_t last = values.size() - 1;
    // Each percentile lies between the values of two neighbouring ranks (as Percentile reads
    // the sorted values).
    std::array<std::size_t, 10> ranks{};
    std::array<double, 5> fractions{};
    for (std::size_t i = 0; i < kPercents.size(); ++i) {
        const double position = kPercents[i] / 100 * static_cast<double>(last);
        ranks[2 * i] = static_cast<std::size_t>(std::floor(position));
        ranks[2 * i + 1] = std::min(ranks[2 * i] + 1, last);
        fractions[i] = position - static_cast<double>(ranks[2 * i]);
    }
    const std::array<float, 10> at = ValuesOfRanks(values, ranks);
    std::array<double, 5> found{};
    for (std::size_t i = 0; i < kPercents.size(); ++i) {
        const double below = at[2 * i];
        const double above = at[2 * i + 1];
        found[i] = below + (above - below) * fractions[i];
    }
    band.p5 = found[0];
    band.p25 = found[1];
    band.p50 = found[2];
    band.p75 = found[3];
    band.p95 = found[4];
    return band;
}

std::vector<std::vector<Band>> SessionBands(const std::vector<SettingSessions>& settings,
                                            unsigned threads) {
    // One task per setting and group of neighbouring checkpoints.
    struct Task {
        std::size_t setting, first, count;
    };
    std::vector<Task> tasks;
    std::vector<std::vector<Band>> bands(settings.size());
    for (std::size_t s = 0; s < settings.size(); ++s) {
        const SettingSessions& setting = settings[s];
        const bool any =
            std::find(setting.done.begin(), setting.done.end(), 1) != setting.done.end();
        if (setting.checkpoints.empty() || !any) continue;
        const std::size_t points = setting.checkpoints.size();
        bands[s].resize(points);
        for (std::size_t first = 0; first < points; first += kColumnsPerTask) {
            tasks.push_back({s, first, std::min(kColumnsPerTask, points - first)});
        }
    }
    // Each thread takes tasks in turn and keeps its columns from one to the next: fresh memory
    // is slow to come by.
    std::atomic<std::size_t> next{0};
    RunTasks(
        std::max(threads, 1u), threads,
        [&](std::size_t) {
            std::vector<float> columns;
            for (std::size_t index; (index = next.fetch_add(1)) < tasks.size();) {
                const Task& task = tasks[index];
                const SettingSessions& setting = settings[task.setting];
                const auto done = static_cast<std::size_t>(
                    std::count(setting.done.begin(), setting.done.end(), 1));
                columns.resize(task.count * done);
                std::size_t row = 0;
                for (std::size_t session = 0; session < setting.done.size(); ++session) {
                    if (!setting.done[session]) continue;
                    const float* balances =
                        setting.BalancesOf(static_cast<std::int64_t>(session)) + task.first;
                    for (std::size_t c = 0; c < task.count; ++c) {
                        columns[c * done + row] = balances[c];
                    }
                    ++row;
                }
                for (std::size_t c = 0; c < task.count; ++c) {
                    Band band = BandOf(std::span(columns).subspan(c * done, done));
                    band.games = setting.checkpoints[task.first + c];
                    bands[task.setting][task.first + c] = band;
                }
            }
        },
        nullptr);
    return bands;
}

}  // namespace taviro::stats
