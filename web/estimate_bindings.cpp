// The setting estimate for the web page (embind). The page's worker passes the fields' texts as
// typed and gets back, as plain objects, the texts the estimate window shows (estimation/
// estimate_view.h) and the window's pictures as SVG: the page keeps no arithmetic of its own.
#include <emscripten/bind.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "chart_layout/estimate_chart.h"
#include "chart_layout/svg_drawing.h"
#include "estimation/estimate.h"
#include "estimation/estimate_view.h"

namespace taviro::web {

namespace {

using F = EstimateField;

// The fields by the names the page gives them (its elements' ids and the link's keys).
constexpr std::pair<F, const char*> kFieldNames[] = {
    {F::Games, "games"},         {F::Bigs, "bigs"},       {F::Regs, "regs"},
    {F::HyperBigs, "hbigs"},     {F::ArGames, "arGames"}, {F::Prior, "prior"},
    {F::Remaining, "remaining"}, {F::Rate, "rate"}};

std::optional<F> FieldNamed(const std::string& name) {
    for (const auto& [field, text] : kFieldNames) {
        if (name == text) return field;
    }
    return std::nullopt;
}

std::string NameOf(F field) {
    for (const auto& [f, text] : kFieldNames) {
        if (f == field) return text;
    }
    return {};
}

// What the fields make: the field to show a reason beside and the reason, or, when they make an
// input, the command that gives its figures (which also tells two inputs' answers apart).
struct PageReading {
    std::string field;
    std::string reason;
    std::string command;  // empty while a needed count is missing or a field is wrong
};

PageReading Read(const EstimateFieldTexts& texts, const std::string& lastEdited) {
    const EstimateReading reading = ReadEstimateFields(texts, FieldNamed(lastEdited));
    PageReading page;
    if (reading.problem) {
        page.field = NameOf(reading.problem->field);
        page.reason = reading.problem->reason;
    }
    if (reading.input) page.command = EstimateCommand(*reading.input);
    return page;
}

// Each field's reason when it alone is filled in, every other empty: for a link, whose values
// are taken field by field.
std::vector<PageReading> ReadEach(const EstimateFieldTexts& texts) {
    std::vector<PageReading> readings;
    for (const auto& [field, name] : kFieldNames) {
        EstimateFieldTexts alone;
        const auto keep = [&](std::string EstimateFieldTexts::*part) { alone.*part = texts.*part; };
        switch (field) {
            case F::Games:
                keep(&EstimateFieldTexts::games);
                break;
            case F::Bigs:
                keep(&EstimateFieldTexts::bigs);
                break;
            case F::Regs:
                keep(&EstimateFieldTexts::regs);
                break;
            case F::HyperBigs:
                keep(&EstimateFieldTexts::hyperBigs);
                break;
            case F::ArGames:
                keep(&EstimateFieldTexts::arGames);
                break;
            case F::Prior:
                alone.typedPrior = texts.typedPrior;
                alone.weights = texts.weights;
                break;
            case F::Remaining:
                keep(&EstimateFieldTexts::remaining);
                break;
            case F::Rate:
                keep(&EstimateFieldTexts::rate);
                break;
        }
        PageReading reading = Read(alone, name);
        reading.field = name;
        readings.push_back(std::move(reading));
    }
    return readings;
}

// Everything the page shows of an answer.
struct PageAnswer {
    std::string failure;  // why there is none
    EstimateTexts texts;
    std::string posteriorSvg, projectionSvg;  // the projection's empty without one
    std::string copied;                       // what コピー puts on the clipboard
};

// The pictures' size for a column `width` pixels wide: text no smaller than 11 pixels on a
// phone, the window's sizes from 560 pixels up.
struct ChartSize {
    double width, height, unit;
};

ChartSize ChartFor(double width) {
    const double w = std::clamp(width, 280.0, 900.0);
    return {w, std::clamp(w, 300.0, 440.0), std::clamp(w / 560, 0.7, 1.0)};
}

// The last answer, so that the same counts drawn at another width are not estimated again.
struct Answered {
    stats::EstimateInput input;
    stats::EstimateAnswer answer;
};
std::optional<Answered> last;

PageAnswer EstimateFields(const EstimateFieldTexts& texts, double chartWidth) {
    PageAnswer page;
    const EstimateReading reading = ReadEstimateFields(texts, std::nullopt);
    if (!reading.input) {
        page.failure = reading.problem ? reading.problem->reason : std::string(kIncompleteHint);
        return page;
    }
    const stats::EstimateInput& input = *reading.input;
    if (!last || !(last->input == input)) {
        last.reset();
        stats::EstimateOutcome outcome = stats::Estimate(input);
        if (!outcome.answer) {
            page.failure = EstimateFailure(outcome.error);
            return page;
        }
        last = Answered{input, std::move(*outcome.answer)};
    }
    const stats::EstimateAnswer& answer = last->answer;
    page.texts = TextsOf(input, answer);
    const ChartSize size = ChartFor(chartWidth);
    page.posteriorSvg =
        stats::SvgDocument(stats::DrawPosterior(answer, size.width, size.height, size.unit),
                           size.width, size.height, page.texts.posteriorDescription);
    if (answer.projection) {
        page.projectionSvg = stats::SvgDocument(
            stats::DrawProjection(input, *answer.projection, size.width, size.height, size.unit),
            size.width, size.height, page.texts.fanDescription);
    }
    page.copied = CopiedText(input, answer);
    return page;
}

// The texts the page shows while there is no answer to show.
struct PageNotes {
    std::string incomplete, computing, greyed, seed, seedExplanation;
};

PageNotes Notes() {
    return {std::string(kIncompleteHint), std::string(kComputingNote), std::string(kGreyedNote),
            std::string(kSeedText), std::string(kSeedExplanation)};
}

}  // namespace

EMSCRIPTEN_BINDINGS(taviro_estimate) {
    using namespace emscripten;
    value_array<std::array<std::string, stats::kSettings>>("Weights")
        .element(emscripten::index<0>())
        .element(emscripten::index<1>())
        .element(emscripten::index<2>())
        .element(emscripten::index<3>())
        .element(emscripten::index<4>())
        .element(emscripten::index<5>());
    value_object<EstimateFieldTexts>("EstimateFieldTexts")
        .field("games", &EstimateFieldTexts::games)
        .field("bigs", &EstimateFieldTexts::bigs)
        .field("regs", &EstimateFieldTexts::regs)
        .field("hbigs", &EstimateFieldTexts::hyperBigs)
        .field("arGames", &EstimateFieldTexts::arGames)
        .field("typedPrior", &EstimateFieldTexts::typedPrior)
        .field("weights", &EstimateFieldTexts::weights)
        .field("remaining", &EstimateFieldTexts::remaining)
        .field("rate", &EstimateFieldTexts::rate);
    value_object<PageReading>("PageReading")
        .field("field", &PageReading::field)
        .field("reason", &PageReading::reason)
        .field("command", &PageReading::command);
    register_vector<PageReading>("PageReadings");
    value_object<EstimateTexts>("EstimateTexts")
        .field("basis", &EstimateTexts::basis)
        .field("posteriorDescription", &EstimateTexts::posteriorDescription)
        .field("atLeast4", &EstimateTexts::atLeast4)
        .field("fiveOrSix", &EstimateTexts::fiveOrSix)
        .field("expectedSetting", &EstimateTexts::expectedSetting)
        .field("big", &EstimateTexts::big)
        .field("reg", &EstimateTexts::reg)
        .field("payout", &EstimateTexts::payout)
        .field("projectionTitle", &EstimateTexts::projectionTitle)
        .field("mean", &EstimateTexts::mean)
        .field("ahead", &EstimateTexts::ahead)
        .field("p5", &EstimateTexts::p5)
        .field("p50", &EstimateTexts::p50)
        .field("p95", &EstimateTexts::p95)
        .field("fanDescription", &EstimateTexts::fanDescription)
        .field("chartDescription", &EstimateTexts::chartDescription)
        .field("knownMedian", &EstimateTexts::knownMedian)
        .field("knownRange", &EstimateTexts::knownRange);
    value_object<PageAnswer>("PageAnswer")
        .field("failure", &PageAnswer::failure)
        .field("texts", &PageAnswer::texts)
        .field("posteriorSvg", &PageAnswer::posteriorSvg)
        .field("projectionSvg", &PageAnswer::projectionSvg)
        .field("copied", &PageAnswer::copied);
    value_object<PageNotes>("PageNotes")
        .field("incomplete", &PageNotes::incomplete)
        .field("computing", &PageNotes::computing)
        .field("greyed", &PageNotes::greyed)
        .field("seed", &PageNotes::seed)
        .field("seedExplanation", &PageNotes::seedExplanation);
    function("readEstimateFields", &Read);
    function("readEachEstimateField", &ReadEach);
    function("estimateFields", &EstimateFields);
    function("estimateNotes", &Notes);
}

}  // namespace taviro::web
