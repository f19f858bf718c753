// What the setting estimate's window and web page read and show, without a window: the input their
// fields make (or why they make none, and beside which field to say so), and every text they show
// of an answer. The window and the page only copy these texts into their controls.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "estimation/estimate.h"

namespace taviro {

// The window's fields, by the part of the input they give.
using EstimateField = stats::InputPart;
inline constexpr int kEstimateFields = stats::kInputParts;

// The texts of the fields as typed (UTF-8).
struct EstimateFieldTexts {
    std::string games, bigs, regs;
    std::string hyperBigs, arGames;  // empty: not known
    bool typedPrior = false;         // false: every setting equally likely
    std::array<std::string, stats::kSettings> weights;
    std::string remaining;  // empty: no projection
    std::string rate = "5";
};

// Every estimate of the window uses this seed, so that the same counts always show the same
// figures; `taviro-stats estimate --seed 20261206` gives them on the command line.
inline constexpr std::uint64_t kWindowSeed = 20261206;
inline constexpr std::string_view kSeedText = "シード 20261206";
inline constexpr std::string_view kSeedExplanation =
    "同じ回数からはいつも同じ数字が出るよう、乱数の種を決めています。\n"
    "taviro-stats estimate --seed 20261206 でも同じ数字になります。";

struct FieldReason {
    EstimateField field;
    std::string reason;  // one line
};

// What the fields make: an input to estimate, or the reason they cannot be one, or neither while
// a count the estimate needs is still empty.
struct EstimateReading {
    std::optional<stats::EstimateInput> input;
    std::optional<FieldReason> problem;
};

// Reads the fields as counts (full-width digits too). A reason about several fields is shown
// beside `lastEdited` when it is one of them.
EstimateReading ReadEstimateFields(const EstimateFieldTexts& texts,
                                   std::optional<EstimateField> lastEdited);

// What the window says while there is no answer to show for the fields.
inline constexpr std::string_view kIncompleteHint =
    "総ゲーム数、ＢＩＧ回数、ＲＥＧ回数を入れると設定を推定します";
inline constexpr std::string_view kComputingNote = "計算中…";
inline constexpr std::string_view kGreyedNote = "薄い表示は前の入力の結果です";
inline constexpr std::string_view kNoProjection =
    "残りゲーム数を入れると、この先の見込みを示します";

// Every text the window shows of one answer.
struct EstimateTexts {
    std::string basis;  // "3000ゲーム　ＢＩＧ 12回　ＲＥＧ 8回の推定"
    std::string posteriorDescription;  // the bars of the chart, for a screen reader
    std::string atLeast4, fiveOrSix;   // "81.3%"
    std::string expectedSetting;       // "4.80"
    std::string big, reg;              // "1/250.0（95%区間 1/483.4～1/143.3）"
    std::string payout;                // "123.37%"
    std::string projectionTitle;  // "この先 2000ゲームの収支（換金率 5枚/100円）"
    // In thousand yen, signed; empty without a projection.
    std::string mean, ahead, p5, p50, p95;
    std::string fanDescription;    // the fan of the chart, for a screen reader
    std::string chartDescription;  // both
    std::string knownMedian;       // "13530ゲーム"
    std::string knownRange;        // "2676～100000超ゲーム"
};

EstimateTexts TextsOf(const stats::EstimateInput& input, const stats::EstimateAnswer& answer);

// The command that prints the same figures.
std::string EstimateCommand(const stats::EstimateInput& input);

// What "結果をコピー" puts on the clipboard: the answer as `taviro-stats estimate` writes it, and
// the command that gives it.
std::string CopiedText(const stats::EstimateInput& input, const stats::EstimateAnswer& answer);

// Why an input the fields allowed could still not be estimated.
std::string EstimateFailure(std::string_view error);

}  // namespace taviro
