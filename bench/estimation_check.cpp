// The setting estimator held to the machine, with figures for docs/estimation.md:
//   likelihood   P(counter | setting) from the estimator against counting the engine's own
//                sessions (brute force), with the multinomial of the counts alone beside it;
//   payout       the long-run PAYOUT formula against very long engine sessions;
//   calibration  the true setting drawn from the prior, sessions of 2000, 8000 and 20000
//                games, the estimator's posterior and the plain method's (BIG and REG counts as
//                independent binomials with the nominal probabilities) side by side: a
//                reliability table in ten bins, the Brier score and the log-loss.
//   pinned       readings that tie a payment to a game, against their worked values, and the
//                spread of 20 seeds against the stated errors;
//   paths        the likelihood summed over the machine's paths against the orders' Monte Carlo
//                answer, on the pinned readings and on readings of engine sessions;
//   arcounts     the readings with --hbig and --ar-games of engine sessions (setting uniform
//                over 1 to 6): how many are refused, how long the slowest takes, and the
//                calibration of those that ended in an AR or within 10 games after one.
// Usage: estimation_check [likelihood|payout|calibration|pinned|paths|arcounts|all]
//                         [--sessions N]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "core/game_loop.h"
#include "core/numbers.h"
#include "core/parameters.h"
#include "core/recorders.h"
#include "core/xoshiro.h"
#include "core/xoshiro_source.h"
#include "estimation/estimate.h"
#include "estimation/likelihood.h"
#include "estimation/setting_odds.h"

namespace {

using namespace taviro;
using namespace taviro::stats;

constexpr unsigned kThreads = 2;

SimulationState Prepared(int setting, std::int64_t games) {
    ParameterTexts texts;
    texts.TexBIG = kSettingPresets[static_cast<std::size_t>(setting - 1)].big;
    texts.TexREG = kSettingPresets[static_cast<std::size_t>(setting - 1)].reg;
    texts.TexGAME = std::to_string(games);
    return PreparedState(texts, false).value();
}

struct Counter {
    std::int64_t bigs, regs, hyper, ar;
    double payout;
};

// One session of the real game loop.
Counter PlayEngine(const SimulationState& prepared, std::uint64_t seed) {
    SimulationState s = prepared;
    XoshiroSource source(seed);
    NoHistory recorder;
    PlayGames(s, source, recorder);
    return {s.CntNBIG + s.CntHBIG, s.CntREG, s.CntHBIG, s.CntARGames, s.Payout};
}

// Runs `count` numbered jobs on kThreads threads; each thread keeps its own tally.
template <class Tally, class Job>
std::vector<Tally> Parallel(std::int64_t count, const Job& job) {
    std::vector<Tally> tallies(kThreads);
    std::vector<std::thread> pool;
    for (unsigned t = 0; t < kThreads; ++t) {
        pool.emplace_back([&, t] {
            for (std::int64_t i = t; i < count; i += kThreads) job(i, tallies[t]);
        });
    }
    for (auto& thread : pool) thread.join();
    return tallies;
}

std::array<SettingOdds, kSettings> PresetOdds() {
    std::array<SettingOdds, kSettings> odds;
    for (int s = 1; s <= kSettings; ++s)
        odds[static_cast<std::size_t>(s - 1)] = OddsOf(Prepared(s, 1));
    return odds;
}

// --- likelihood -------------------------------------------------------------------------------

void CheckLikelihood(std::int64_t sessions) {
    constexpr std::int64_t kGames = 400;
    const std::vector<Observation> shown = {
        {kGames, 0, 0, {}, {}}, {kGames, 1, 0, {}, {}}, {kGames, 2, 1, {}, {}},
        {kGames, 3, 0, {}, {}}, {kGames, 1, 1, 0, 150}, {kGames, 2, 0, {}, 237},
        {kGames, 3, 0, 1, 350}, {kGames, 2, 1, 0, {}},
    };
    const auto odds = PresetOdds();
    std::printf(
        "== P(counter | setting): estimator against %lld engine sessions of %lld games "
        "per setting\n",
        static_cast<long long>(sessions), static_cast<long long>(kGames));
    std::printf("%-22s %3s %12s %10s %12s %10s %7s %12s\n", "shown (B,R,H,A)", "set", "engine",
                "+-1.96se", "estimator", "+-1.96se", "z", "multinomial");
    std::vector<std::vector<double>> zs(shown.size());
    for (int setting = 1; setting <= kSettings; ++setting) {
        const SimulationState prepared = Prepared(setting, kGames);
        const auto tallies = Parallel<std::vector<std::int64_t>>(
            sessions, [&](std::int64_t i, std::vector<std::int64_t>& tally) {
                tally.resize(shown.size());
                const Counter c = PlayEngine(prepared, MixBits(0x11ce + i * 7 + setting));
                for (std::size_t k = 0; k < shown.size(); ++k) {
                    const Observation& o = shown[k];
                    tally[k] += c.bigs == o.bigs && c.regs == o.regs &&
                                (!o.hyperBigs || c.hyper == *o.hyperBigs) &&
                                (!o.arGames || c.ar == *o.arGames);
                }
            });
        for (std::size_t k = 0; k < shown.size(); ++k) {
            const Observation& o = shown[k];
            std::int64_t hits = 0;
            for (const auto& t : tallies) hits += t[k];
            const double p = static_cast<double>(hits) / static_cast<double>(sessions);
            const double se = std::sqrt(p * (1 - p) / static_cast<double>(sessions));
            PerSetting prior{};
            prior[static_cast<std::size_t>(setting - 1)] = 1;
            const auto estimate =
                EstimateLikelihood(o, odds, prior, OrderBudget(o), 7, kThreads, nullptr);
            const auto index = static_cast<std::size_t>(setting - 1);
            const double l = std::exp(estimate->logLikelihood[index]);
            const double lSe = l * estimate->logLikelihoodSe[index];
            const double m = std::exp(LogMultinomial(odds[static_cast<std::size_t>(setting - 1)],
                                                     o.games, o.bigs, o.regs));
            // Both the count and the estimator have their errors.
            const double both = std::sqrt(se * se + lSe * lSe);
            const double z = both > 0 ? (l - p) / both : 0;
            zs[k].push_back(z);
            char label[64];
            std::snprintf(label, sizeof label, "(%lld,%lld,%s,%s)", static_cast<long long>(o.bigs),
                          static_cast<long long>(o.regs),
                          o.hyperBigs ? std::to_string(*o.hyperBigs).c_str() : "-",
                          o.arGames ? std::to_string(*o.arGames).c_str() : "-");
            std::printf("%-22s %3d %12.6g %10.2g %12.6g %10.2g %7.2f %12.6g\n", label, setting, p,
                        1.96 * se, l, 1.96 * lSe, z, m);
        }
    }
    double chi2 = 0;
    std::size_t n = 0;
    for (const auto& row : zs) {
        for (double z : row) {
            chi2 += z * z;
            ++n;
        }
    }
    std::printf(
        "sum of z^2 = %.1f over %zu comparisons (chi-square with %zu d.f.: mean %zu, "
        "sd %.1f)\n\n",
        chi2, n, n, n, std::sqrt(2.0 * static_cast<double>(n)));
}

// --- payout ---------------------------------------------------------------------------------

void CheckPayout(std::int64_t sessions) {
    const auto odds = PresetOdds();
    const Coins coins = CoinsOf(Prepared(1, 1));
    std::printf("== Long-run PAYOUT: formula against %lld engine sessions per setting\n",
                static_cast<long long>(sessions));
    std::printf("%3s %10s %20s %24s\n", "set", "formula", "1e7-game sessions",
                "8000-game sessions");
    for (int setting = 1; setting <= kSettings; ++setting) {
        auto describe = [&](std::int64_t games, std::int64_t count) {
            const SimulationState prepared = Prepared(setting, games);
            const auto tallies = Parallel<std::vector<double>>(
                count, [&](std::int64_t i, std::vector<double>& values) {
                    values.push_back(
                        PlayEngine(prepared, MixBits(0x9a70 + i * 13 + setting)).payout);
                });
            std::vector<double> all;
            for (const auto& t : tallies) all.insert(all.end(), t.begin(), t.end());
            double mean = 0, sq = 0;
            for (double v : all) mean += v;
            mean /= static_cast<double>(all.size());
            for (double v : all) sq += (v - mean) * (v - mean);
            const double half = 1.96 * std::sqrt(sq / static_cast<double>(all.size() - 1) /
                                                 static_cast<double>(all.size()));
            return std::make_pair(mean, half);
        };
        const auto [longMean, longHalf] = describe(10'000'000, sessions);
        const auto [shortMean, shortHalf] = describe(8000, 20000);
        std::printf("%3d %10.3f %12.3f +- %5.3f %16.3f +- %5.3f\n", setting,
                    LongRunPayout(odds[static_cast<std::size_t>(setting - 1)], coins), longMean,
                    longHalf, shortMean, shortHalf);
    }
    std::printf("\n");
}

// --- calibration ----------------------------------------------------------------------------

struct Scores {
    std::array<std::int64_t, 10> count{};
    std::array<double, 10> predicted{}, observed{};
    double brier = 0, logLoss = 0;
    std::int64_t cases = 0;

    void Add(const PerSetting& posterior, int truth) {
        ++cases;
        for (std::size_t s = 0; s < kSettings; ++s) {
            const double p = posterior[s];
            const double y = static_cast<int>(s) + 1 == truth ? 1 : 0;
            const auto bin = std::min<std::size_t>(9, static_cast<std::size_t>(p * 10));
            ++count[bin];
            predicted[bin] += p;
            observed[bin] += y;
            brier += (p - y) * (p - y);
        }
        logLoss -= std::log(std::max(posterior[static_cast<std::size_t>(truth - 1)], 1e-300));
    }
};

PerSetting PlainPosterior(std::int64_t games, std::int64_t bigs, std::int64_t regs) {
    PerSetting lw;
    for (std::size_t s = 0; s < kSettings; ++s) {
        const double pb = 1 / ParseNumber(kSettingPresets[s].big);
        const double pr = 1 / ParseNumber(kSettingPresets[s].reg);
        const auto b = static_cast<double>(bigs), r = static_cast<double>(regs),
                   g = static_cast<double>(games);
        lw[s] = b * std::log(pb) + (g - b) * std::log1p(-pb) + r * std::log(pr) +
                (g - r) * std::log1p(-pr);
    }
    const double top = *std::max_element(lw.begin(), lw.end());
    double sum = 0;
    for (double& w : lw) sum += (w = std::exp(w - top));
    for (double& w : lw) w /= sum;
    return lw;
}

void Calibrate(std::int64_t sessions) {
    std::printf("== Calibration: true setting uniform over 1 to 6, %lld sessions per length\n",
                static_cast<long long>(sessions));
    for (const std::int64_t games : {2000, 8000, 20000}) {
        std::array<SimulationState, kSettings> prepared;
        for (int s = 1; s <= kSettings; ++s)
            prepared[static_cast<std::size_t>(s - 1)] = Prepared(s, games);
        struct Case {
            int truth;
            std::int64_t bigs, regs;
        };
        const auto tallies = Parallel<std::vector<std::pair<std::int64_t, Case>>>(
            sessions, [&](std::int64_t i, std::vector<std::pair<std::int64_t, Case>>& out) {
                const std::uint64_t seed =
                    MixBits(0xca11b + static_cast<std::uint64_t>(games) * 31 + i);
                const int truth = static_cast<int>(MixBits(seed ^ 0x5e771) % kSettings) + 1;
                const Counter c = PlayEngine(prepared[static_cast<std::size_t>(truth - 1)], seed);
                out.push_back({i, {truth, c.bigs, c.regs}});
            });
        std::vector<Case> cases(static_cast<std::size_t>(sessions));
        for (const auto& t : tallies) {
            for (const auto& [i, c] : t) cases[static_cast<std::size_t>(i)] = c;
        }
        std::map<std::pair<std::int64_t, std::int64_t>, PerSetting> posteriors;
        for (const Case& c : cases) posteriors[{c.bigs, c.regs}];
        const auto start = std::chrono::steady_clock::now();
        double worstSe = 0;
        for (auto& [counts, posterior] : posteriors) {
            EstimateInput in;
            in.games = games;
            in.bigs = counts.first;
            in.regs = counts.second;
            in.untilKnown = false;
            in.seed = 1;
            const EstimateOutcome outcome = Estimate(in, kThreads);
            posterior = outcome.answer->posterior;
            for (double se : outcome.answer->posteriorSe) worstSe = std::max(worstSe, se);
        }
        const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
        Scores ours, plain;
        double gain = 0, gainSquares = 0;  // per case: plain's log-loss minus the estimator's
        for (const Case& c : cases) {
            const PerSetting& mine = posteriors[{c.bigs, c.regs}];
            const PerSetting theirs = PlainPosterior(games, c.bigs, c.regs);
            ours.Add(mine, c.truth);
            plain.Add(theirs, c.truth);
            const auto t = static_cast<std::size_t>(c.truth - 1);
            const double d = std::log(mine[t]) - std::log(theirs[t]);
            gain += d;
            gainSquares += d * d;
        }
        std::printf(
            "\n-- %lld games: %zu distinct (B, R), %.1f ms each on %u threads, largest "
            "posterior Monte Carlo se %.5f\n",
            static_cast<long long>(games), posteriors.size(),
            spent.count() * 1000 / static_cast<double>(posteriors.size()), kThreads, worstSe);
        std::printf("%-9s | %7s %9s %9s %7s | %7s %9s %9s %7s\n", "bin", "n", "predicted",
                    "observed", "diff pp", "n", "predicted", "observed", "diff pp");
        for (std::size_t b = 0; b < 10; ++b) {
            std::printf("%.1f-%.1f   |", b / 10.0, (b + 1) / 10.0);
            for (const Scores* s : {&ours, &plain}) {
                const auto n = static_cast<double>(s->count[b]);
                if (s->count[b] == 0) {
                    std::printf(" %7d %9s %9s %7s |", 0, "-", "-", "-");
                    continue;
                }
                const double pred = s->predicted[b] / n, obs = s->observed[b] / n;
                std::printf(" %7lld %9.4f %9.4f %7.2f%s|", static_cast<long long>(s->count[b]),
                            pred, obs, (obs - pred) * 100,
                            s->count[b] >= 500 && std::fabs(obs - pred) > 0.03 ? "!" : " ");
            }
            std::printf("\n");
        }
        const auto n = static_cast<double>(ours.cases);
        std::printf("Brier     | %.6f (estimator)   %.6f (plain)\n", ours.brier / n,
                    plain.brier / n);
        const double meanGain = gain / n;
        const double gainSe = std::sqrt((gainSquares / n - meanGain * meanGain) / (n - 1));
        std::printf(
            "log-loss  | %.6f (estimator)   %.6f (plain)   plain minus estimator %.6f "
            "(se %.6f)\n",
            ours.logLoss / n, plain.logLoss / n, meanGain, gainSe);
        double worst = 0;
        for (const Scores* sc : {&ours}) {
            for (std::size_t b = 0; b < 10; ++b) {
                if (sc->count[b] < 500) continue;
                const auto m = static_cast<double>(sc->count[b]);
                worst = std::max(worst, std::fabs(sc->observed[b] / m - sc->predicted[b] / m));
            }
        }
        std::printf(
            "largest |observed - predicted| of the estimator's bins with 500 cases or "
            "more: %.2f percentage points\n",
            worst * 100);
        std::fflush(stdout);
    }
    std::printf("\n");
}

// --- pinned ---------------------------------------------------------------------------------

struct Worked {
    Observation shown;
    std::function<double(const SettingOdds&)> likelihood;
};

void CheckPinned() {
    using Odds = const SettingOdds&;
    auto none = [](Odds o) { return 1 - o.BigChance() - o.RegChance(); };
    auto ar = [](Odds o) { return o.Chance(Drawn::Big150) + o.Chance(Drawn::Big1000); };
    auto held = [&](Odds o, double first) {
        double sum = 0;
        for (int t = 1; t <= 150; ++t) {
            sum += std::pow(none(o), t - 1) * std::pow(1 - o.RegChance(), 150 - t);
        }
        return first * sum * (1 - o.RegChance());
    };
    const std::vector<Worked> worked = {
        {{1001, 1, 0, {}, 1000}, [](Odds o) { return o.Chance(Drawn::Big1000); }},
        {{1002, 1, 1, {}, 1000},
         [](Odds o) {
             const double r = o.RegChance();
             return o.Chance(Drawn::Big1000) * (r + 1 - std::pow(1 - r, 1001));
         }},
        {{153, 1, 0, {}, 150},
         [&](Odds o) {
             return 2 * o.Chance(Drawn::Big150) * std::pow(none(o), 152) +
                    none(o) * none(o) * ar(o);
         }},
        {{302, 2, 0, 1, 300}, [&](Odds o) { return o.Chance(Drawn::Big150) * held(o, ar(o)); }},
        {{352, 2, 0, {}, 350},
         [&](Odds o) {
             const double ar1000 = o.Chance(Drawn::Big1000);
             return o.Chance(Drawn::Big150) * (held(o, ar1000) + std::pow(none(o), 150) * ar1000) +
                    o.Chance(Drawn::PlainBig) * ar1000;
         }},
        {{3000, 17, 3, 16, 2650}, nullptr},
        {{3000, 12, 8, 3, 500}, nullptr},
        {{2000, 9, 5, 4, 1150}, nullptr},
        {{400, 3, 0, 1, 350}, nullptr},
        {{1005, 1, 0, {}, 1000}, nullptr},
    };
    const auto odds = PresetOdds();
    std::printf("== Pinned readings: 20 seeds each, uniform prior, %u threads\n", kThreads);
    std::printf("%-24s %-27s %-27s %8s %8s %7s %7s %6s\n", "reading (G,B,R,H,A)",
                "worked P(1), P(6)", "mean of seeds P(1), P(6)", "sd P(6)", "se P(6)", "in 3se",
                "slowest", "rough");
    for (const Worked& w : worked) {
        const Observation& o = w.shown;
        std::vector<EstimateAnswer> answers;
        double slowest = 0;
        int rough = 0;
        for (std::uint64_t seed = 1; seed <= 20; ++seed) {
            EstimateInput in;
            in.games = o.games, in.bigs = o.bigs, in.regs = o.regs;
            in.hyperBigs = o.hyperBigs, in.arGames = o.arGames;
            in.untilKnown = false, in.seed = seed;
            const auto start = std::chrono::steady_clock::now();
            const EstimateOutcome outcome = Estimate(in, kThreads);
            const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
            slowest = std::max(slowest, spent.count());
            if (!outcome.answer) {
                std::printf("  refused: %s\n", outcome.error.c_str());
                continue;
            }
            answers.push_back(*outcome.answer);
            rough += outcome.answer->roughPosterior;
        }
        if (answers.empty()) continue;
        PerSetting mean{};
        for (const EstimateAnswer& a : answers) {
            for (std::size_t s = 0; s < kSettings; ++s) {
                mean[s] += a.posterior[s] / static_cast<double>(answers.size());
            }
        }
        int within = 0, all = 0;
        double sd = 0;
        std::vector<double> ses;
        for (const EstimateAnswer& a : answers) {
            for (std::size_t s = 0; s < kSettings; ++s) {
                within += std::fabs(a.posterior[s] - mean[s]) <= 3 * a.posteriorSe[s] + 1e-12;
                ++all;
            }
            sd += (a.posterior[5] - mean[5]) * (a.posterior[5] - mean[5]);
            ses.push_back(a.posteriorSe[5]);
        }
        std::sort(ses.begin(), ses.end());
        char worked[64] = "-";
        if (w.likelihood) {
            PerSetting l{};
            double total = 0;
            for (std::size_t s = 0; s < kSettings; ++s) total += l[s] = w.likelihood(odds[s]);
            std::snprintf(worked, sizeof worked, "%.4f, %.4f", l[0] / total, l[5] / total);
        }
        char label[64], estimated[64];
        std::snprintf(label, sizeof label, "%lld,%lld,%lld,%s,%s", static_cast<long long>(o.games),
                      static_cast<long long>(o.bigs), static_cast<long long>(o.regs),
                      o.hyperBigs ? std::to_string(*o.hyperBigs).c_str() : "-",
                      o.arGames ? std::to_string(*o.arGames).c_str() : "-");
        std::snprintf(estimated, sizeof estimated, "%.4f, %.4f", mean[0], mean[5]);
        std::printf("%-24s %-27s %-27s %8.5f %8.5f %3d/%3d %6.2fs %6d\n", label, worked, estimated,
                    std::sqrt(sd / static_cast<double>(answers.size())), ses[ses.size() / 2],
                    within, all, slowest, rough);
        std::fflush(stdout);
    }
    std::printf("\n");
}

// --- paths ----------------------------------------------------------------------------------

void CheckPaths(std::int64_t sessions) {
    std::vector<Observation> readings = {
        {1001, 1, 0, {}, 1000}, {1002, 1, 1, {}, 1000},  {153, 1, 0, {}, 150},
        {302, 2, 0, 1, 300},    {352, 2, 0, {}, 350},    {3000, 17, 3, 16, 2650},
        {3000, 12, 8, 3, 500},  {2000, 9, 5, 4, 1150},   {400, 3, 0, 1, 350},
        {1005, 1, 0, {}, 1000}, {8000, 30, 10, 8, 1700}, {3000, 16, 9, 10, 1950},
        {3000, 14, 8, 7, 1600},
    };
    for (std::int64_t i = 0; i < sessions; ++i) {
        const std::uint64_t seed = MixBits(0x9a75 + static_cast<std::uint64_t>(i));
        const int truth = static_cast<int>(MixBits(seed ^ 0x5e771) % kSettings) + 1;
        const std::int64_t games = std::int64_t{500} << (i % 3);  // 500, 1000, 2000
        const Counter c = PlayEngine(Prepared(truth, games), seed);
        readings.push_back({games, c.bigs, c.regs, c.hyper, c.ar});
    }
    const auto odds = PresetOdds();
    const PerSetting prior = {1, 1, 1, 1, 1, 1};
    std::printf("== Paths summed against orders played: %zu readings, uniform prior, %u threads\n",
                readings.size(), kThreads);
    std::printf("%-24s %8s %8s %8s %8s %8s %8s %9s %7s %7s\n", "reading (G,B,R,H,A)", "paths P6",
                "orders P6", "se P6", "max |z|", "dlnL6", "se lnL6", "paths", "time", "orders");
    int within = 0, all = 0, summed = 0;
    double slowestPaths = 0, largestDiff = 0;
    for (const Observation& o : readings) {
        const auto t0 = std::chrono::steady_clock::now();
        const auto paths = EstimateLikelihood(o, odds, prior, OrderBudget(o), 1, kThreads, nullptr);
        const auto t1 = std::chrono::steady_clock::now();
        const auto played =
            EstimateLikelihood(o, odds, prior, OrderBudget(o), 1, kThreads, nullptr, 0);
        const auto t2 = std::chrono::steady_clock::now();
        const double pathTime = std::chrono::duration<double>(t1 - t0).count();
        char label[64];
        std::snprintf(label, sizeof label, "%lld,%lld,%lld,%s,%s", static_cast<long long>(o.games),
                      static_cast<long long>(o.bigs), static_cast<long long>(o.regs),
                      o.hyperBigs ? std::to_string(*o.hyperBigs).c_str() : "-",
                      o.arGames ? std::to_string(*o.arGames).c_str() : "-");
        double worst = 0;
        if (paths->exact) {
            ++summed;
            slowestPaths = std::max(slowestPaths, pathTime);
            for (std::size_t s = 0; s < kSettings; ++s) {
                const double diff = std::fabs(paths->posterior[s] - played->posterior[s]);
                const double se = played->posteriorSe[s];
                worst = std::max(worst, se > 0 ? diff / se : (diff > 1e-9 ? 99.0 : 0.0));
                within += diff <= 3 * se + 1e-9;
                largestDiff = std::max(largestDiff, diff);
                ++all;
            }
        }
        std::printf("%-24s %8.4f %8.4f %8.5f %8.2f %8.4f %8.4f %9s %6.2fs %6.2fs\n", label,
                    paths->posterior[5], played->posterior[5], played->posteriorSe[5], worst,
                    paths->logLikelihood[5] - played->logLikelihood[5], played->logLikelihoodSe[5],
                    paths->exact ? "summed" : "too many", pathTime,
                    std::chrono::duration<double>(t2 - t1).count());
        std::fflush(stdout);
    }
    std::printf(
        "%d of %zu readings summed (slowest %.2f s); %d of %d posterior probabilities within "
        "three of the orders' stated errors, largest difference %.5f\n\n",
        summed, readings.size(), slowestPaths, within, all, largestDiff);
}

// --- arcounts -------------------------------------------------------------------------------

void CheckArCounts(std::int64_t sessions) {
    constexpr std::int64_t kGames = 3000;
    std::array<SimulationState, kSettings> prepared;
    for (int s = 1; s <= kSettings; ++s) {
        prepared[static_cast<std::size_t>(s - 1)] = Prepared(s, kGames);
    }
    struct Reading {
        int truth;
        Counter counter;
        bool nearAr;  // the session ended in an AR or within 10 games after one
    };
    std::vector<Reading> readings;
    for (std::int64_t i = 0; i < sessions; ++i) {
        const std::uint64_t seed = MixBits(0xa7c0 + static_cast<std::uint64_t>(i));
        const int truth = static_cast<int>(MixBits(seed ^ 0x5e771) % kSettings) + 1;
        SimulationState s = prepared[static_cast<std::size_t>(truth - 1)];
        XoshiroSource source(seed);
        NoHistory recorder;
        PlayGames(s, source, recorder);
        // Within 10 games after an AR: what would be the counter 10 games earlier shows an AR.
        bool near = s.ARLeft > 0;
        if (!near) {
            SimulationState earlier = prepared[static_cast<std::size_t>(truth - 1)];
            earlier.GameCount = kGames - 10;
            XoshiroSource same(seed);
            PlayGames(earlier, same, recorder);
            near = earlier.ARLeft > 0 || earlier.CntARGames < s.CntARGames;
        }
        readings.push_back(
            {truth, {s.CntNBIG + s.CntHBIG, s.CntREG, s.CntHBIG, s.CntARGames, 0}, near});
    }
    std::map<std::tuple<std::int64_t, std::int64_t, std::int64_t, std::int64_t>, PerSetting>
        posteriors;
    for (const Reading& r : readings) {
        posteriors[{r.counter.bigs, r.counter.regs, r.counter.hyper, r.counter.ar}];
    }
    std::int64_t refused = 0, rough = 0, tried = 0, summed = 0;
    double slowest = 0, total = 0, slowestCpu = 0;
    std::string slowestReading, slowestCpuReading;
    for (auto& [key, posterior] : posteriors) {
        EstimateInput in;
        in.games = kGames;
        std::tie(in.bigs, in.regs, std::ignore, std::ignore) = key;
        in.hyperBigs = std::get<2>(key);
        in.arGames = std::get<3>(key);
        in.untilKnown = false, in.seed = 1;
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t cpuStart = std::clock();
        const EstimateOutcome outcome = Estimate(in, kThreads);
        const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
        const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        if (cpu > slowestCpu) {
            slowestCpu = cpu;
            slowestCpuReading = std::to_string(in.bigs) + "," + std::to_string(in.regs) + "," +
                                std::to_string(*in.hyperBigs) + "," + std::to_string(*in.arGames);
        }
        total += spent.count();
        if (spent.count() > slowest) {
            slowest = spent.count();
            slowestReading = std::to_string(in.bigs) + "," + std::to_string(in.regs) + "," +
                             std::to_string(*in.hyperBigs) + "," + std::to_string(*in.arGames);
        }
        if (!outcome.answer) {
            ++refused;
            std::printf("refused: B %lld R %lld H %lld A %lld: %s\n",
                        static_cast<long long>(in.bigs), static_cast<long long>(in.regs),
                        static_cast<long long>(*in.hyperBigs), static_cast<long long>(*in.arGames),
                        outcome.error.c_str());
            posterior.fill(1.0 / kSettings);
            continue;
        }
        posterior = outcome.answer->posterior;
        rough += outcome.answer->roughPosterior;
        summed += outcome.answer->exact;
        if (++tried % 500 == 0) {
            std::printf("  %lld of %zu readings: refused %lld, rough %lld, slowest %.2f s (%s)\n",
                        static_cast<long long>(tried), posteriors.size(),
                        static_cast<long long>(refused), static_cast<long long>(rough), slowest,
                        slowestReading.c_str());
            std::fflush(stdout);
        }
    }
    std::printf(
        "== Readings with --hbig and --ar-games: %lld engine sessions of %lld games, %zu distinct "
        "readings\nrefused %lld, rough (error over 0.01) %lld, summed over paths %lld, mean %.3f "
        "s, "
        "slowest %.2f s (B,R,H,A = %s) on %u threads, most CPU %.2f s (%s)\n",
        static_cast<long long>(sessions), static_cast<long long>(kGames), posteriors.size(),
        static_cast<long long>(refused), static_cast<long long>(rough),
        static_cast<long long>(summed), total / static_cast<double>(posteriors.size()), slowest,
        slowestReading.c_str(), kThreads, slowestCpu, slowestCpuReading.c_str());
    Scores near, all;
    for (const Reading& r : readings) {
        const PerSetting& p =
            posteriors[{r.counter.bigs, r.counter.regs, r.counter.hyper, r.counter.ar}];
        all.Add(p, r.truth);
        if (r.nearAr) near.Add(p, r.truth);
    }
    for (const auto& [name, scores] : {std::pair<const char*, const Scores*>{"all", &all},
                                       {"ended in or within 10 games after an AR", &near}}) {
        std::printf("-- calibration, %s: %lld sessions\n", name,
                    static_cast<long long>(scores->cases));
        std::printf("%-9s | %7s %9s %9s %7s %7s\n", "bin", "n", "predicted", "observed", "diff pp",
                    "z");
        for (std::size_t b = 0; b < 10; ++b) {
            if (scores->count[b] == 0) continue;
            const auto n = static_cast<double>(scores->count[b]);
            const double pred = scores->predicted[b] / n, obs = scores->observed[b] / n;
            const double se = std::sqrt(std::max(pred * (1 - pred), 1e-12) / n);
            std::printf("%.1f-%.1f   | %7lld %9.4f %9.4f %7.2f %7.2f\n", b / 10.0, (b + 1) / 10.0,
                        static_cast<long long>(scores->count[b]), pred, obs, (obs - pred) * 100,
                        (obs - pred) / se);
        }
        const auto n = static_cast<double>(scores->cases);
        std::printf("Brier %.6f  log-loss %.6f\n", scores->brier / n, scores->logLoss / n);
    }
    std::printf("\n");
}

}  // namespace

int main(int argc, char* argv[]) {
    std::string part = argc > 1 ? argv[1] : "all";
    std::int64_t sessions = 0;
    for (int i = 2; i + 1 < argc; i += 2) {
        if (std::string(argv[i]) == "--sessions") sessions = std::atoll(argv[i + 1]);
    }
    if (part == "likelihood" || part == "all") CheckLikelihood(sessions > 0 ? sessions : 2'000'000);
    if (part == "payout" || part == "all") CheckPayout(sessions > 0 ? sessions : 200);
    if (part == "calibration" || part == "all") Calibrate(sessions > 0 ? sessions : 30000);
    if (part == "pinned" || part == "all") CheckPinned();
    if (part == "paths" || part == "all") CheckPaths(sessions > 0 ? sessions : 30);
    if (part == "arcounts" || part == "all") CheckArCounts(sessions > 0 ? sessions : 10000);
    return 0;
}
