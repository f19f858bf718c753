#include "core/start_command.h"

#include "core/run_simulation.h"

namespace taviro {

StartOutcome StartCommand(SimulationState& state, const ParameterTexts& texts,
                          UniformSource& source, std::uint64_t historyLimit) {
    source.Reseed();
    switch (LoadParameters(state, texts, historyLimit)) {
        case LoadStatus::Loaded:
            break;
        case LoadStatus::NumberTooLarge:
            return StartOutcome::NumberTooLarge;
        case LoadStatus::GameCountTooLarge:
            return StartOutcome::GameCountTooLarge;
        case LoadStatus::OutOfMemory:
            return StartOutcome::OutOfMemory;
    }
    if (state.GameCount == 0) return StartOutcome::NoGames;
    RunSimulation(state, source);
    return StartOutcome::Ran;
}

std::string_view StartMessage(StartOutcome outcome, Edition edition) {
    switch (outcome) {
        case StartOutcome::Ran:
            return {};
        case StartOutcome::NoGames:
            return edition == Edition::Full ? "シミュレート回数を指定してください。"
                                            : "シミュレート回数を指定してください";
        case StartOutcome::NumberTooLarge:
            return "数値が大きすぎます。";
        case StartOutcome::GameCountTooLarge:
            return "シミュレートゲーム数が大きすぎます。";
        case StartOutcome::OutOfMemory:
            return "メモリが不足しています。シミュレートゲーム数を減らしてください。";
    }
    return {};
}

}  // namespace taviro
