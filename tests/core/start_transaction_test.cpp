#include "core/start_transaction.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/run_fields.h"
#include "support/scripted_source.h"

namespace taviro {
namespace {

using test_support::RunDifference;
using test_support::ScriptedSource;

constexpr std::int32_t kNothing = 100000;
constexpr std::int32_t kBigAr150 = 8000;
constexpr std::int32_t kReg = 20000;

ParameterTexts Games(const char* games) {
    ParameterTexts texts;
    texts.TexGAME = games;
    return texts;
}

// The history that a run of `games` games of the default parameters may have.
std::uint64_t Limit(std::int32_t games) {
    return HistoryBytes(games, PreparedState({}, false)->ThrREG);
}

class StartTransactionTest : public ::testing::Test {
  protected:
    StartTransactionTest() {
        std::vector<std::int32_t> draws(20000, kNothing);
        for (std::size_t k : {0u, 160u, 400u, 2000u}) draws[k] = kBigAr150;
        for (std::size_t k : {10u, 170u, 3000u}) draws[k] = kReg;
        source_ = std::make_unique<ScriptedSource>(draws, kNothing);
        state_.KeepsHistory = true;
    }

    StartOutcome Start(const ParameterTexts& texts, bool stop = false) {
        StartTransaction start(state_, origin_, *source_);
        const StartOutcome outcome = start.Prepare(texts, Limit(1000000));
        if (outcome != StartOutcome::Ran) return outcome;
        RunControl control;
        if (stop) control.RequestStop();
        if (start.Play(control)) {
            start.Commit();
            return outcome;
        }
        // The games to play again: the last run's, where the edition keeps its history.
        const std::int32_t replayed = start.Abandon();
        EXPECT_EQ(replayed, state_.KeepsHistory ? std::max(state_.GameCount, 0) : 0);
        if (replayed > 0) {
            RunControl replay;
            EXPECT_TRUE(start.Replay(replay));
        }
        EXPECT_TRUE(start.Restore());
        return outcome;
    }

    std::unique_ptr<ScriptedSource> source_;
    SimulationState state_;
    HistoryOrigin origin_;
};

TEST_F(StartTransactionTest, AStoppedRunLeavesTheStateOfTheLastRunWithItsHistory) {
    // The last run: a real one in either edition, or one of a negative count (it plays no game).
    for (const auto& [history, games] : {std::pair{true, "3000"}, {false, "3000"}, {true, "-5"}}) {
        SCOPED_TRACE(std::string(history ? "full edition, " : "light edition, ") + games);
        state_ = SimulationState{};
        state_.KeepsHistory = history;
        origin_ = {};
        ASSERT_EQ(Start(Games(games)), StartOutcome::Ran);
        state_.DataFileName = "Taviro1.csv";
        const SimulationState before = state_;
        // A longer run on other parameters, stopped at its first look.
        ParameterTexts other = Games("15000");
        other.TexBIG = "30";
        ASSERT_EQ(Start(other, true), StartOutcome::Ran);
        EXPECT_EQ(RunDifference(state_, before), "");
        EXPECT_EQ(state_.DataFileName, "Taviro1.csv");
        // Refused: too many games, a number out of range, a history beyond the limit (light: none).
        ParameterTexts huge = Games("3000");
        huge.TexHBIG = "1e999";
        const std::pair<ParameterTexts, StartOutcome> refused[] = {
            {Games("3000000000"), StartOutcome::GameCountTooLarge},
            {huge, StartOutcome::NumberTooLarge},
            {Games(history ? "2000000" : "-2147483649"),
             history ? StartOutcome::OutOfMemory : StartOutcome::GameCountTooLarge}};
        for (const auto& [texts, outcome] : refused) EXPECT_EQ(Start(texts), outcome);
        EXPECT_EQ(RunDifference(state_, before), "");
    }
}

TEST_F(StartTransactionTest, AReplayThatEndsOtherwiseLosesTheResultsRatherThanMixingThem) {
    ASSERT_EQ(Start(Games("3000")), StartOutcome::Ran);
    ScriptedSource other({kBigAr150}, kReg);  // not the draws that recorded the history
    StartTransaction start(state_, origin_, other);
    ASSERT_EQ(start.Prepare(Games("3000"), Limit(1000000)), StartOutcome::Ran);
    RunControl stop, replay;
    stop.RequestStop();
    EXPECT_FALSE(start.Play(stop));
    ASSERT_EQ(start.Abandon(), 3000);
    EXPECT_TRUE(start.Replay(replay));
    EXPECT_FALSE(start.Restore());
    EXPECT_TRUE(start.ResultsLost());
    EXPECT_EQ(state_.GameCount, 0);
}

// The allocations of the history, and the bytes of history the transaction held at each.
const StartTransaction* watched = nullptr;
std::vector<std::size_t> heldAtAllocation;
bool failAllocations = false;
bool WatchedAllocation(SimulationState& s, std::size_t elements, const RunControl* control) {
    heldAtAllocation.push_back(watched->HeldHistoryBytes());
    return !failAllocations && AllocateHistory(s, elements, control);
}

TEST_F(StartTransactionTest, TheOldHistoryIsReleasedFirstAndAFailedAllocationLeavesNothingStale) {
    for (bool fail : {false, true}) {
        ASSERT_EQ(Start(Games("5000")), StartOutcome::Ran);
        heldAtAllocation.clear();
        failAllocations = fail;
        StartTransaction start(state_, origin_, *source_, WatchedAllocation);
        watched = &start;
        const std::size_t oldHistory = state_.History.Bytes();
        ASSERT_EQ(start.Prepare(Games("8000"), Limit(1000000)), StartOutcome::Ran);
        EXPECT_TRUE(state_.History.Empty());
        EXPECT_EQ(start.HeldHistoryBytes(), oldHistory);
        RunControl control;
        EXPECT_EQ(start.Play(control), !fail);
        EXPECT_EQ(heldAtAllocation, std::vector<std::size_t>{0});
        if (!fail) {
            const std::size_t held = start.HeldHistoryBytes();
            start.Commit();
            EXPECT_EQ(held, state_.History.Bytes());
            continue;
        }
        EXPECT_EQ(start.Abandon(), 0);
        EXPECT_FALSE(start.Restore());
        EXPECT_TRUE(start.ResultsLost());
        SimulationState empty;
        empty.KeepsHistory = true;
        EXPECT_EQ(RunDifference(state_, empty), "");
        EXPECT_TRUE(state_.KeepsHistory);
        EXPECT_FALSE(origin_.seed);
    }
}

TEST(StartMessage, TellsWhyAStartPlayedNothing) {
    using O = StartOutcome;
    const std::tuple<StartOutcome, Edition, std::string_view> cases[] = {
        {O::Ran, Edition::Full, ""},
        {O::NoGames, Edition::Full, "シミュレート回数を指定してください。"},
        {O::NoGames, Edition::Lite, "シミュレート回数を指定してください"},
        {O::NumberTooLarge, Edition::Lite, "数値が大きすぎます。"},
        {O::GameCountTooLarge, Edition::Full, "シミュレートゲーム数が大きすぎます。"},
        {O::OutOfMemory, Edition::Lite,
         "メモリが不足しています。シミュレートゲーム数を減らしてください。"},
    };
    for (const auto& [outcome, edition, message] : cases)
        EXPECT_EQ(StartMessage(outcome, edition), message) << message;
}

}  // namespace
}  // namespace taviro
