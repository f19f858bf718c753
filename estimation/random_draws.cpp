#include "estimation/random_draws.h"

#include <algorithm>

namespace taviro::stats {

namespace {

Drawn BigKind(RandomDraws& random) {
    const std::uint32_t share = random.Below(116);
    return share < 58 ? Drawn::PlainBig : share < 115 ? Drawn::Big150 : Drawn::Big1000;
}

// Sorts `in` (games in [1, games], packed as game × 4 + kind) into `out`: a counting sort into
// as many buckets as values, which leaves about one value per bucket, then insertion.
void SortDraws(std::int64_t games, SessionDraws& d) {
    const std::size_t n = d.unsorted.size();
    d.packed.resize(n);
    if (n == 0) return;
    d.buckets.assign(n + 1, 0);
    // (game - 1) × n / games, by a multiplication: rounded down, so still below n and in order.
    const std::uint64_t scale =
        (static_cast<std::uint64_t>(n) << 32) / static_cast<std::uint64_t>(games);
    auto bucket = [scale](std::uint64_t packed) {
        return static_cast<std::size_t>((((packed >> 2) - 1) * scale) >> 32);
    };
    for (std::uint64_t v : d.unsorted) ++d.buckets[bucket(v) + 1];
    for (std::size_t b = 1; b <= n; ++b) d.buckets[b] += d.buckets[b - 1];
    for (std::uint64_t v : d.unsorted) d.packed[d.buckets[bucket(v)]++] = v;
    for (std::size_t i = 1; i < n; ++i) {
        const std::uint64_t v = d.packed[i];
        std::size_t k = i;
        for (; k > 0 && d.packed[k - 1] > v; --k) d.packed[k] = d.packed[k - 1];
        d.packed[k] = v;
    }
}

}  // namespace

void DrawOrder(RandomDraws& random, std::int64_t games, std::int64_t bigs, std::int64_t regs,
               SessionDraws& out) {
    const std::int64_t n = bigs + regs;
    const auto range = static_cast<std::uint32_t>(games);
    // Few draws among many games: n games drawn independently, kept when no two coincide; the
    // i-th draw takes the i-th outcome, so the outcomes' order is uniform too.
    if (4 * n * n <= games) {
        auto& packed = out.packed;
        out.unsorted.resize(static_cast<std::size_t>(n));
        for (;;) {
            std::int64_t big150 = 0, big1000 = 0;
            for (std::int64_t i = 0; i < n; ++i) {
                const Drawn kind = i < bigs ? BigKind(random) : Drawn::Reg;
                big150 += kind == Drawn::Big150;
                big1000 += kind == Drawn::Big1000;
                const std::uint64_t game = random.Below(range) + 1;
                out.unsorted[static_cast<std::size_t>(i)] =
                    game << 2 | static_cast<std::uint64_t>(kind);
            }
            SortDraws(games, out);
            bool distinct = true;
            for (std::size_t i = 1; i < packed.size() && distinct; ++i) {
                distinct = (packed[i] >> 2) != (packed[i - 1] >> 2);
            }
            if (distinct) {
                out.big150 = big150;
                out.big1000 = big1000;
                return;
            }
        }
    }
    // Many draws: games drawn until n distinct ones are known (a uniform n-subset, whatever the
    // order they came in), then the outcomes shuffled over them.
    std::vector<std::uint64_t>& chosen = out.packed;
    chosen.clear();
    while (static_cast<std::int64_t>(chosen.size()) < n) {
        out.unsorted.assign(chosen.begin(), chosen.end());
        for (std::int64_t i = static_cast<std::int64_t>(chosen.size()); i < n; ++i) {
            out.unsorted.push_back(std::uint64_t{random.Below(range) + 1} << 2);
        }
        SortDraws(games, out);
        chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    }
    for (std::uint64_t& game : chosen) game >>= 2;
    std::vector<Drawn>& kinds = out.kinds;
    kinds.assign(static_cast<std::size_t>(n), Drawn::Reg);
    for (std::int64_t i = 0; i < bigs; ++i) kinds[static_cast<std::size_t>(i)] = Drawn::PlainBig;
    for (std::size_t i = kinds.size(); i > 1; --i) {
        std::swap(kinds[i - 1], kinds[random.Below(static_cast<std::uint32_t>(i))]);
    }
    std::int64_t big150 = 0, big1000 = 0;
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        Drawn kind = kinds[i];
        if (kind != Drawn::Reg) kind = BigKind(random);
        big150 += kind == Drawn::Big150;
        big1000 += kind == Drawn::Big1000;
        chosen[i] = chosen[i] << 2 | static_cast<std::uint64_t>(kind);
    }
    out.big150 = big150;
    out.big1000 = big1000;
}

}  // namespace taviro::stats
