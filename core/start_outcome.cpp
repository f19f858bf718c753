#include "core/start_outcome.h"

namespace taviro {

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
