#include "core/game_loop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "core/bonus_marks.h"
#include "core/parameters.h"
#include "core/recorders.h"
#include "core/repeated_sum.h"
#include "core/run_simulation.h"
#include "core/stock_queue.h"
#include "core/vector_path.h"
#include "core/xoshiro_source.h"
#include "support/run_fields.h"
#include "support/scripted_source.h"

namespace taviro {
namespace {

using test_support::RunFields;
using test_support::ScriptedSource;

constexpr std::int32_t kNothing = 100000;  // above every threshold of setting 1
constexpr std::int32_t kBig = 100;
constexpr std::int32_t kAr150 = 8000;
constexpr std::int32_t kAr1000 = 15600;
constexpr std::int32_t kReg = 20000;
constexpr double kBaseN = -1.5603781019;
constexpr double kBaseAR = 1.5842163960;

SimulationState PlayScripted(std::vector<std::int32_t> draws, std::int32_t games,
                             bool history = true, ParameterTexts texts = {},
                             std::int32_t after = kNothing) {
    texts.TexGAME = std::to_string(games);
    SimulationState s = PreparedState(texts, history).value();
    ScriptedSource source(std::move(draws), after);
    RunSimulation(s, source);
    EXPECT_EQ(source.Consumed(), static_cast<std::size_t>(std::max(games, 0)));
    return s;
}

TEST(GameLoop, RegionBoundariesOfSettingOne) {
    const std::pair<std::int32_t, const char*> cases[] = {
        {1, "NBIG"},           {7830, "NBIG"},         {7831, "NBIG AR150"},
        {15525, "NBIG AR150"}, {15526, "NBIG AR1000"}, {15660, "NBIG AR1000"},
        {15661, "REG"},        {24824, "REG"},         {24825, ""},
        {LOTTERY_SPACE, ""},
    };
    for (const auto& [draw, text] : cases) {
        const SimulationState s = PlayScripted({draw}, 1);
        EXPECT_EQ(s.History.Text(1), std::string(text) + "シミュレート終了") << draw;
        EXPECT_EQ(s.StockPos, 1) << draw;
    }
}

// What a scripted run must leave: event texts of chosen games and the counters.
struct Scenario {
    const char* name;
    std::vector<std::pair<int, std::int32_t>> draws;  // game and lottery number
    std::int32_t games;
    std::vector<std::pair<int, const char*>> texts;  // game and its event text
    // CntNBIG, CntHBIG, CntREG, CntARGames, CntAR150, CntAR1000, LsBIG, LsAR150, LsAR1000,
    // RegStock, ARLeft
    std::array<std::int32_t, 11> counts;
};

TEST(GameLoop, HoldsPaysAndCountsBonusesInOrder) {
    const Scenario scenarios[] = {
        {"AR covers the games after the payment; a BIG on its last game is paid next as hyper",
         {{10, kAr150}, {160, kBig}},
         170,
         {{10, "NBIG AR150"}, {159, ""}, {160, "(BIGストック）AR終了"}, {161, "HBIG"}},
         {1, 1, 0, 150, 1, 0, 0, 0, 0, 0, 0}},
        {"held REGs go before held and new BIGs",
         {{1, kAr150}, {5, kReg}, {6, kReg}, {7, kBig}, {152, kBig}},
         160,
         {{5, "(REGストック）"},
          {7, "(BIGストック）"},
          {151, "AR終了"},
          {152, "REG"},
          {153, "REG"},
          {154, "HBIG"},
          {155, "NBIG"}},
         {2, 1, 2, 150, 1, 0, 0, 0, 0, 0, 0}},
        {"held BIGs are paid in order across AR periods",
         {{1, kAr150}, {20, kAr150}, {30, kBig}, {40, kAr1000}},
         1500,
         {{20, "(BIG AR150ストック）"},
          {40, "(BIG AR1000ストック）"},
          {152, "HBIG AR150"},
          {302, "AR終了"},
          {303, "HBIG"},
          {304, "HBIG AR1000"},
          {1304, "AR終了"}},
         {1, 3, 0, 1300, 2, 1, 0, 0, 0, 0, 0}},
        {"a run ending in AR counts the held hyper BIGs",
         {{1, kAr1000}, {2, kBig}, {3, kAr150}, {4, kAr1000}, {5, kReg}, {6, kAr1000}},
         10,
         {{10, "シミュレート終了"}},
         {1, 0, 0, 9, 1, 3, 4, 1, 2, 1, 991}},
        {"a normal BIG queued behind a waiting REG is not a leftover",
         {{1, kAr150}, {2, kReg}, {3, kReg}, {152, kBig}},
         152,
         {{152, "REGシミュレート終了"}},
         {1, 0, 1, 150, 1, 0, 0, 0, 0, 1, 0}},
    };
    for (const Scenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.name);
        std::vector<std::int32_t> draws;
        for (const auto& [game, draw] : scenario.draws) {
            draws.resize(std::max<std::size_t>(draws.size(), game), kNothing);
            draws[game - 1] = draw;
        }
        const SimulationState s = PlayScripted(draws, scenario.games);
        for (const auto& [game, text] : scenario.texts)
            EXPECT_EQ(s.History.Text(game), text) << game;
        const std::array<std::int32_t, 11> counts = {
            s.CntNBIG, s.CntHBIG, s.CntREG,   s.CntARGames, s.CntAR150, s.CntAR1000,
            s.LsBIG,   s.LsAR150, s.LsAR1000, s.RegStock,   s.ARLeft};
        EXPECT_EQ(counts, scenario.counts);
        EXPECT_EQ(s.ARMode, s.ARLeft > 0 ? 1 : 0);
        // Each game adds a payment's coins and the normal base, or the base of either mode.
        for (std::int32_t game = 1; game <= s.GameCount; ++game) {
            const std::string text = s.History.Text(game);
            const double step = s.History.Balance(game) - s.History.Balance(game - 1);
            const double coins = text.find("HBIG") != std::string::npos   ? 548.011
                                 : text.find("NBIG") != std::string::npos ? 401.65
                                 : text.find("REG") == 0                  ? 127.0
                                                                          : 0.0;
            EXPECT_TRUE(std::abs(step - coins - kBaseN) < 1e-9 ||
                        (coins == 0 && std::abs(step - kBaseAR) < 1e-9))
                << "game " << game;
        }
    }
}

TEST(GameLoop, RunsOfNoGame) {
    for (bool history : {true, false}) {
        const SimulationState s = PlayScripted({}, -5, history);
        EXPECT_EQ(s.CntNBIG + s.CntHBIG + s.CntREG + s.CntARGames, 0);
        EXPECT_EQ(s.VirtualOut, -5 * kBaseN);
        EXPECT_NEAR(s.Payout, 47.98739660333333, 1e-12);
        EXPECT_EQ(s.History.Size(), history ? 1u : 0u);
        if (history) {
            EXPECT_EQ(s.History.Text(0), "");
        }
    }
    EXPECT_EQ(PlayScripted({}, 0).History.Text(0), "");  // game 0 never ends a run
}

TEST(GameLoop, ANewRunStartsWithNothingHeld) {
    SimulationState s = PlayScripted({kAr1000, kBig, kAr150, kReg}, 10);
    ASSERT_NE(s.Stock[1], kEmpty);
    ScriptedSource nothing({}, kNothing);
    RunSimulation(s, nothing);
    const SimulationState fresh = PlayScripted({}, 10);
    EXPECT_EQ(RunFields(s), RunFields(fresh));
    EXPECT_EQ(test_support::EventCodes(s), test_support::EventCodes(fresh));
    EXPECT_EQ(s.History.Whole().high, fresh.History.Whole().high);
}

TEST(StockQueue, FullQueueSaturatesAndStaysConsistent) {
    SimulationState s;
    s.StockPos = 1;
    const auto slots = [&s](int from, int to) {
        return std::vector<std::int32_t>(s.Stock.begin() + from, s.Stock.begin() + to + 1);
    };
    for (int i = 0; i < kStockSlots; ++i) PushStock(s, i % 6 + 1);
    EXPECT_EQ(s.StockPos, kStockSlots);
    EXPECT_EQ(slots(253, 255), (std::vector{1, 2, 3}));
    PushStock(s, kHyperBigAr1000);  // replaces the newest entry
    EXPECT_EQ(s.StockPos, kStockSlots);
    EXPECT_EQ(slots(253, 255), (std::vector{1, 2, 6}));

    EXPECT_EQ(ReleaseStock(s), kNormalBig);
    EXPECT_EQ(s.StockPos, kStockSlots);  // the first empty slot
    EXPECT_EQ(slots(253, 255), (std::vector{2, 6, 0}));
    PushStock(s, kHyperBig);
    EXPECT_EQ(slots(253, 255), (std::vector{2, 6, 4}));  // the held entries are not overwritten
    CountLeftovers(s);                                   // slot 255 holds one too
    EXPECT_EQ((std::array{s.LsBIG, s.LsAR150, s.LsAR1000}), (std::array{128, 42, 43}));
    ReleaseStock(s);
    ReleaseStock(s);  // now below full: StockPos moves down again
    EXPECT_EQ(s.StockPos, kStockSlots - 1);
    EXPECT_EQ(slots(251, 255), (std::vector{2, 6, 4, 0, 0}));
    EXPECT_EQ(slots(1, 2), (std::vector{4, 5}));  // entries 4, 5, ... follow in order
}

TEST(StockQueue, RunWithAlwaysBigKeepsTheQueueConsistent) {
    // Every game draws a BIG: an AR1000 period fills the queue far beyond 255 entries.
    ParameterTexts texts;
    texts.TexBIG = "1";
    const SimulationState s = PlayScripted({LOTTERY_SPACE}, 3000, true, texts, 1);
    EXPECT_EQ(s.CntARGames, 1000);
    // Each normal game pushes into slot 255 and pays the head: 254 entries stay, slot 255 empty.
    EXPECT_EQ(s.StockPos, kStockSlots);
    EXPECT_EQ(s.Stock[kStockSlots], kEmpty);
    const auto held =
        std::count_if(s.Stock.begin() + 1, s.Stock.end(), [](auto k) { return k != 0; });
    EXPECT_EQ(held, kStockSlots - 1);
    // 255 hyper BIGs were held; the first push after the AR replaced one of them.
    EXPECT_EQ(s.CntHBIG, 254);
    EXPECT_EQ(s.CntNBIG, 1 + (2000 - 1 - 254));
    EXPECT_EQ(s.LsBIG, 0);
}

std::vector<std::uint64_t> Bits(const std::vector<double>& values) {
    std::vector<std::uint64_t> bits;
    for (double v : values) bits.push_back(std::bit_cast<std::uint64_t>(v));
    return bits;
}

// The compact history gives back every game's balance and event byte of the one-game loop: read
// in one pass game by game and in batches, one game at a time from the nearest kept balance, and
// as the extents of games around block and checkpoint edges, from the blocks and the games.
void ExpectTheHistoryOf(const GameHistory& history, const std::vector<double>& balance,
                        const std::vector<std::uint8_t>& codes,
                        const std::vector<std::int64_t>& chosen) {
    const test_support::HistoryValues values = test_support::ValuesOf(history);
    EXPECT_EQ(Bits(values.balances), Bits(balance));
    EXPECT_EQ(values.codes, codes);
    std::vector<double> read(balance.size(), 0.0);  // in batches of 1000
    std::vector<std::uint8_t> readCodes(codes.size(), 0);
    HistoryReader reader(history, 0);
    for (std::size_t first = 1; first < balance.size(); first += 1000) {
        reader.Read(&read[first], &readCodes[first],
                    static_cast<std::int64_t>(std::min<std::size_t>(1000, balance.size() - first)));
    }
    EXPECT_EQ(Bits(read), Bits(balance));
    EXPECT_EQ(readCodes, codes);
    for (std::int64_t g : chosen) {
        ASSERT_EQ(Bits({history.Balance(g)}), Bits({balance[g]})) << g;
        ASSERT_EQ(history.Code(g), codes[g]) << g;
    }
    const auto last = static_cast<std::int64_t>(balance.size()) - 1;
    for (std::int64_t from : {0, 1, 2, 511, 512, 513, 1000, 4096, 4097}) {
        for (std::int64_t to : {from, from + 1, 512L, 513L, 1025L, 4096L, 4097L, 9000L, last}) {
            if (from > to || to > last) continue;
            BalanceExtent expected;
            for (std::int64_t g = from; g <= to; ++g) expected.Add(balance[g]);
            const BalanceExtent kept = history.Of(from, to);
            EXPECT_EQ(Bits({kept.low, kept.high}), Bits({expected.low, expected.high}))
                << from << " to " << to;
        }
    }
}

// Runs `check` on the AVX2 path, where the processor has it, and on the portable path.
template <class Check>
void OnEveryPath(Check check) {
    for (bool portable : {false, true}) {
        ForcePortablePath(portable);
        SCOPED_TRACE(Avx2PathActive() ? "AVX2 path" : "portable path");
        check();
    }
    ForcePortablePath(false);
}

TEST(RepeatedSum, GivesTheDoublesOfOneAdditionAtATime) {
    // Sums halfway between two doubles (rounded to even), sums just past the ends of a binade
    // onto a finer or coarser grid, zeros, values out of range.
    // clang-format off
    const double startsAndSteps[][2] = {{0, kBaseN}, {-4100.75, kBaseAR}, {1, 0x1p-53},
        {3 - 0x1p-51, 0x1p-52}, {-2, 1 + 0x1p-52}, {17, -0.5 - 0x3p-51}, {-17, 0.5 + 0x3p-51},
        {31 + 0x1p-48, 0.5 + 0x5p-52}, {-0.0, 0}, {-0.0, -0.0}, {7, -0.0}, {1e308, 3e306},
        {1, -0x1.3p-54}, {-1e-300, 1e-303}, {0x1p60, 100.5},
        {std::numeric_limits<double>::quiet_NaN(), 1}};
    // clang-format on
    OnEveryPath([&] {
        for (const auto& [start, step] : startsAndSteps) {
            for (std::int64_t count : {2, 100000}) {  // ending at a binade's edge, or far beyond
                SCOPED_TRACE(std::to_string(start) + " + " + std::to_string(step));
                std::vector<double> expected, sums(static_cast<std::size_t>(count));
                float lowest = 0, expectedLowest = 0;
                for (double b = start; expected.size() < sums.size();) {
                    expected.push_back(b = b + step);
                    expectedLowest = std::min(expectedLowest, static_cast<float>(b));
                }
                const double last = AddRepeatedly(start, step, count, sums.data(), lowest);
                EXPECT_EQ(Bits(sums), Bits(expected));
                EXPECT_EQ(Bits({last, lowest}), Bits({expected.back(), expectedLowest}));
                // The adder, in runs of up to 600 (the later ones start where the binade's
                // amount is already known).
                RepeatedAdder adder;
                float adderLowest = 0;
                double adderLast = start;
                for (std::int64_t done = 0, run; done < count; done += run) {
                    run = std::min<std::int64_t>(count - done, done == 0 ? 1 : 600);
                    adderLast = adder.Add(adderLast, step, run, adderLowest);
                    ASSERT_EQ(Bits({adderLast}), Bits({expected[done + run - 1]})) << done;
                }
                EXPECT_EQ(Bits({adderLowest}), Bits({expectedLowest}));
                // Only some of the sums, numbered from an offset.
                std::vector<std::int64_t> at = {11, 12};
                if (count > 2) at.insert(at.end(), {10 + count / 2 + 1, 10 + count});
                std::vector<double> some(at.size()), expectedSome;
                for (std::int64_t a : at) expectedSome.push_back(expected[a - 11]);
                float lowestToo = 0;
                const double lastToo =
                    AddRepeatedlyAt(start, step, count, at, 10, some.data(), lowestToo);
                EXPECT_EQ(Bits(some), Bits(expectedSome));
                EXPECT_EQ(Bits({lastToo, lowestToo}), Bits({last, lowest}));
            }
        }
    });
}

// The one-game-at-a-time loop over the same draws, keeping every balance and event byte.
SimulationState PlayOneByOne(SimulationState s, const std::vector<std::int32_t>& draws,
                             std::vector<double>& balance, std::vector<std::uint8_t>& codes,
                             float& lowest) {
    ResetRun(s);
    balance = {0};
    codes = {0};
    lowest = 0;
    for (std::int32_t game = 1; game <= s.GameCount; ++game) {
        s.GameNo = game;
        const GameOutcome outcome = PlayGame(s, s.Draw = draws[game - 1]);
        balance.push_back(balance.back() + outcome.base);
        if (outcome.paid) balance.back() += outcome.bonus;
        lowest = std::min(lowest, static_cast<float>(balance.back()));
        codes.push_back(outcome.code);
    }
    codes.back() |= event::kRunEnd;
    CountLeftovers(s);
    ComputePayout(s);
    return s;
}

TEST(BonusMarks, MarkExactlyTheDrawsAtOrBelowAndNoWordBeyond) {
    OnEveryPath([] {
        constexpr std::uint64_t kUntouched = 0x5a5a5a5a5a5a5a5a;
        for (std::int64_t n : {1, 63, 64, 65, 128, 200}) {
            std::vector<std::int32_t> draws;
            std::vector<std::int64_t> expected, found;
            for (std::int64_t j = 0; j < n; ++j) {
                draws.push_back(static_cast<std::int32_t>(j * 37 % 100));
                if (draws.back() <= 49) expected.push_back(j);
            }
            const std::size_t words = static_cast<std::size_t>(n + 63) / 64;
            std::vector<std::uint64_t> marks(words + 1, kUntouched);
            MarkDrawsAtOrBelow(draws, 49, marks.data());
            EXPECT_EQ(marks[words], kUntouched) << n;
            for (std::int64_t g = 0; g < n;) {
                if ((g = NextMarked(marks.data(), g, n)) < n) found.push_back(g++);
            }
            EXPECT_EQ(found, expected) << n;
            EXPECT_EQ(n % 64 == 0 ? 0 : marks[words - 1] >> (n % 64), 0u) << n;
        }
    });
}

TEST(GameLoop, BulkLoopEqualsOneGameAtATimeOnEveryPath) {
    struct Stream {
        std::string name;
        std::int32_t games;
        std::vector<std::pair<int, std::int32_t>> draws;  // none: the generator's, from `seed`
        std::uint64_t seed = 0;
        std::string big = "485.452";
        std::string normalBase = "-1.5603781019";
        std::string reg = "829.570";
        std::string normalBig = "401.65";
    };
    std::vector<std::pair<int, std::int32_t>> fullStock = {{1, kAr1000}, {700, kReg}};
    for (int game = 2; game < 302; ++game) fullStock.push_back({game, kBig});
    std::vector<Stream> streams = {
        {"hits on word and block edges",
         2000,
         {{1, kReg}, {64, kBig}, {65, kReg}, {512, kReg}, {513, kBig}, {1536, kReg}}},
        {"AR ends inside a block and on its edges",
         1100,
         {{100, kAr150}, {362, kAr150}, {513, kAr150}, {700, kAr1000}}},
        {"payments from a held stock",
         3000,
         {{1, kAr1000}, {5, kAr150}, {6, kReg}, {511, kAr1000}, {1001, kBig}}},
        {"a full stock of 255", 2000, fullStock},
        {"events on block and checkpoint edges; an AR over one, another ending on one",
         8192,
         {{512, kReg}, {513, kBig}, {1024, kAr150}, {3946, kAr150}, {4097, kReg}, {8000, kAr1000}}},
        {"random", 20001, {}, 1},
        {"random, frequent BIGs", 30000, {}, 2, "30"},
        {"random, a BIG in half the games", 4999, {}, 3, "2"},
        {"random, an exact base", 9000, {}, 4, "100", "0.5"},
        {"random, a zero base", 9000, {}, 5, "100", "0"},
        {"random, frequent REGs, coins out of range", 5000, {}, 6, "30", "0", "3", "1e308"},
    };
    std::mt19937_64 random(26);
    for (std::uint64_t seed = 7; seed < 10; ++seed) {
        auto number = [&](double low, double high) {
            return std::to_string(std::uniform_real_distribution<double>(low, high)(random));
        };
        streams.push_back({"random parameters " + std::to_string(seed),
                           30000,
                           {},
                           seed,
                           number(1, 600),
                           number(-3, 3),
                           number(1, 900),
                           number(0, 1000)});
    }
    OnEveryPath([&] {
        for (const Stream& stream : streams) {
            SCOPED_TRACE(stream.name + " " + stream.big + " " + stream.normalBase);
            ParameterTexts texts;
            texts.TexGAME = std::to_string(stream.games), texts.TexBIG = stream.big;
            texts.TexN_BASE = stream.normalBase, texts.TexREG = stream.reg;
            texts.TexNBIG = stream.normalBig;
            std::vector<std::int32_t> draws(static_cast<std::size_t>(stream.games), kNothing);
            for (const auto& [game, draw] : stream.draws) draws[game - 1] = draw;
            if (stream.draws.empty()) XoshiroSource(stream.seed).FillDraws(draws);
            ScriptedSource fullSource(draws), trackedSource(draws);
            std::vector<double> balance;
            std::vector<std::uint8_t> codes;
            float lowest = 0;
            const SimulationState expected =
                PlayOneByOne(PreparedState(texts, false).value(), draws, balance, codes, lowest);
            SimulationState full = PreparedState(texts, true).value();
            SimulationState tracked = PreparedState(texts, false).value();
            SimulationState sampled = PreparedState(texts, false).value();
            BalanceTracker tracker;
            RunSimulation(full, fullSource);
            PlayGames(tracked, trackedSource, tracker);
            // Chosen games inside quiet runs, on block edges, next to each other, the last one.
            std::vector<std::int64_t> chosen;
            for (std::int64_t g = 1; g <= stream.games; ++g) {
                if (g % 97 == 0 || g % 512 <= 1 || g == 2 || g == 3 || g == stream.games) {
                    chosen.push_back(g);
                }
            }
            std::vector<double> expectedAt;
            for (std::int64_t g : chosen) expectedAt.push_back(balance[g]);
            CheckpointRecorder checkpoints(chosen);
            ScriptedSource sampledSource(draws);
            PlayGames(sampled, sampledSource, checkpoints);
            EXPECT_TRUE(RunFields(sampled) == RunFields(expected));
            EXPECT_EQ(Bits(checkpoints.Balances()), Bits(expectedAt));
            EXPECT_EQ(Bits({checkpoints.Final(), checkpoints.Lowest()}),
                      Bits({balance.back(), lowest}));
            EXPECT_TRUE(RunFields(full) == RunFields(expected));
            EXPECT_TRUE(RunFields(tracked) == RunFields(expected));
            ExpectTheHistoryOf(full.History, balance, codes, chosen);
            EXPECT_EQ(Bits({full.MinBalance, tracker.Final(), tracker.Lowest()}),
                      Bits({lowest, balance.back(), lowest}));
        }
    });
}

TEST(RunControl, PublishesProgressAndStopsBetweenChunks) {
    ParameterTexts texts;
    texts.TexGAME = std::to_string(3 * RunControl::kChunkGames + 5);
    SimulationState s = PreparedState(texts, false).value();
    XoshiroSource source(1);
    RunControl finishing;
    EXPECT_TRUE(RunSimulation(s, source, &finishing));
    EXPECT_EQ(finishing.GamesPlayed(), s.GameCount);

    // A stop asked for half-way ends the run at the next chunk.
    struct StoppingSource final : UniformSource {
        RunControl& control;
        std::int64_t left;
        StoppingSource(RunControl& c, std::int64_t games) : control(c), left(games) {}
        std::uint64_t Reseed() override { return 0; }
        void Restart(std::uint64_t) override {}
        void Fill(std::span<float> out) override {
            for (float& value : out) value = 0.5f;
            if ((left -= static_cast<std::int64_t>(out.size())) <= 0) control.RequestStop();
        }
    };
    RunControl stopping;
    StoppingSource stopAfterOneChunk(stopping, RunControl::kChunkGames + 1);
    EXPECT_FALSE(RunSimulation(s, stopAfterOneChunk, &stopping));
    EXPECT_EQ(stopping.GamesPlayed(), 2 * RunControl::kChunkGames);
}

}  // namespace
}  // namespace taviro
