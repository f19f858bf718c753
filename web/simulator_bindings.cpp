// The simulator for the web page (embind): the main window's start command, results display,
// slump graph with its money summary, and data file, on the fields' texts as typed. The worker
// that makes a run keeps it for the graph, the money summary at another rate and the data file.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chart_layout/slump_chart.h"
#include "chart_layout/svg_drawing.h"
#include "core/clock_seed.h"
#include "core/money_summary.h"
#include "core/parameters.h"
#include "core/result_texts.h"
#include "core/run_simulation.h"
#include "core/slump_curve.h"
#include "core/start_outcome.h"
#include "core/xoshiro_source.h"
#include "datafile/data_file.h"
#include "web/progress_reporter.h"

namespace taviro::web {

namespace {

// The texts of the main window's fields and of the graph window's exchange rate.
struct SimulatorFields {
    std::string Combo1, TexKankin;
    ParameterTexts parameters;
};

// Memory a run's history may take: the module's memory ends at 2 GiB, and the history must leave
// room for the run's data file going out in blocks and for the page's other calls.
constexpr std::uint64_t kHistoryLimit = std::uint64_t{1} << 30;

// The largest data file the page offers: the browser holds the whole file in the page's memory,
// and a little more than that while it hands it to the download.
constexpr std::uint64_t kPageFileLimit = 500'000'000;
constexpr std::string_view kPageFileTooLarge =
    "ブラウザで保存できるのは約 500 MB までです。シミュレートゲーム数を減らしてください。";

struct Kept {
    SimulationState state;
    ResultTextList results;
};
std::unique_ptr<Kept> kept;  // the last run this worker made

struct PresetAnswer {
    bool found = false;
    std::string big, reg;
};

PresetAnswer Preset(const std::string& setting) {
    const std::optional<PresetTexts> preset = SettingPreset(setting);
    if (!preset) return {};
    return {true, std::string(preset->big), std::string(preset->reg)};
}

SimulatorFields Defaults() {
    return {"1", "5", ParameterTexts{}};
}

struct Money {
    std::string investment, finalCoins, netResult;
    bool hasNet = false;
};

Money MoneyAt(const std::string& rate) {
    if (!kept || !kept->state.KeepsHistory) return {};
    const MoneySummary m =
        ComputeMoneySummary(kept->state.MinBalance, kept->state.VirtualOut, rate);
    return {m.investment, m.finalCoins, m.netResult.value_or(""), m.netResult.has_value()};
}

struct Graph {
    std::string svg, description;
};

Graph GraphOf(bool fitted) {
    if (!kept || !kept->state.KeepsHistory) return {};
    std::string description;
    const stats::Drawing drawing = fitted ? stats::DrawFittedSlump(kept->state, 2, description)
                                          : stats::DrawDesignedSlump(kept->state, description);
    return {stats::SvgDocument(drawing, drawing.width / 15, drawing.height / 15, description),
            description};
}

struct RunAnswer {
    std::string message;  // the start command's message, when it refused or played nothing
    std::string seed;
    std::string seedNote;  // the seed as the page shows it beside the results
    std::vector<std::string> results;
    bool history = false;
    Money money;
    Graph designed, fitted;
};

// The start command: reads the fields, plays the run with or without history from `seedText`
// (the clock's when empty; a text that is no seed is refused), and answers with everything the
// two windows show of it.
RunAnswer Simulate(const SimulatorFields& fields, const std::string& seedText, bool history,
                   emscripten::val progress) {
    RunAnswer answer;
    const Edition edition = history ? Edition::Full : Edition::Lite;
    const std::optional<std::uint64_t> fixed = ReadSeed(seedText);
    if (!fixed && !seedText.empty()) {
        answer.message =
            "アドレスの seed には 0 から 18446744073709551615 までの整数を指定してください。";
        return answer;
    }
    const std::uint64_t seed = fixed.value_or(NextClockSeed());
    answer.seed = std::to_string(seed);
    answer.seedNote = "シード " + answer.seed;
    auto run = std::make_unique<Kept>();
    run->state.KeepsHistory = history;
    StartOutcome outcome = StartOutcome::Ran;
    switch (LoadParameters(run->state, fields.parameters, kHistoryLimit)) {
        case LoadStatus::Loaded:
            if (run->state.GameCount == 0) outcome = StartOutcome::NoGames;
            break;
        case LoadStatus::NumberTooLarge:
            outcome = StartOutcome::NumberTooLarge;
            break;
        case LoadStatus::GameCountTooLarge:
            outcome = StartOutcome::GameCountTooLarge;
            break;
        case LoadStatus::OutOfMemory:
            outcome = StartOutcome::OutOfMemory;
            break;
    }
    if (outcome != StartOutcome::Ran) {
        answer.message = std::string(StartMessage(outcome, edition));
        return answer;
    }
    XoshiroSource source(seed);
    RunControl control;
    ProgressReporter reporter(control, std::max(run->state.GameCount, 0), kRunTask, progress);
    RunSimulation(run->state, source, &control);
    run->results = ResultTexts(run->state);
    UseDesignedScale(run->state);
    kept = std::move(run);
    answer.results.assign(kept->results.begin(), kept->results.end());
    answer.history = history;
    answer.money = MoneyAt(fields.TexKankin);
    answer.designed = GraphOf(false);
    answer.fitted = GraphOf(true);
    return answer;
}

// The file's bytes go to the page a block at a time.
class PageFile final : public OutputFile {
  public:
    explicit PageFile(emscripten::val put) : put_(std::move(put)) {}
    bool Write(std::string_view bytes) override {
        put_(emscripten::val(emscripten::typed_memory_view(
            bytes.size(), reinterpret_cast<const std::uint8_t*>(bytes.data()))));
        return true;
    }
    bool Commit() override { return true; }
    std::string Error() const override { return {}; }

  private:
    emscripten::val put_;
};

// A browser's download never replaces a file without asking the user itself.
class NoFiles final : public FileSystem {
  public:
    bool IsRegularFile(const std::string&) const override { return false; }
    std::unique_ptr<OutputFile> Create(const std::string&, std::string&) override { return {}; }
};

class KeptMessage final : public MessageBox {
  public:
    int Show(std::string_view text, Buttons, std::string_view) override {
        message = std::string(text);
        return kOk;
    }
    std::string message;
};

struct FileAnswer {
    std::string message;  // why there is no file
    std::string name;
    std::string saved;  // the note once the file went to the download
};

// The data-file command on the last run: the checks, then the file's bytes to `put`, or the
// desktop's message of a failed save when the file is larger than the page can hold.
FileAnswer DataFile(const std::string& setting, emscripten::val put, emscripten::val progress) {
    if (!kept || !kept->state.KeepsHistory) return {"まずシミュレートを実行してください。", {}, {}};
    SimulationState& s = kept->state;
    const ResultTextList& r = kept->results;
    const DataFileTexts texts = {setting, r[ResultIndex("TexOUT")], r[ResultIndex("TexPAY")],
                                 r[ResultIndex("LabP_BIG")], r[ResultIndex("LabP_REG")]};
    NoFiles files;
    KeptMessage messages;
    if (!ConfirmDataFile(s, texts, files, messages)) return {messages.message, {}, {}};
    PageFile page(std::move(put));
    RunControl control;
    ProgressReporter reporter(control, s.GameCount, kSaveTask, progress);
    const SaveResult result =
        WriteBoundedDataFile(page, s, texts, kPageFileLimit, kPageFileTooLarge, &control);
    if (result.status == SaveResult::Status::Saved) {
        return {{}, s.DataFileName, s.DataFileName + " を保存しました"};
    }
    ReportSave(result, s.DataFileName, messages);
    return {messages.message, {}, {}};
}

// The result fields in the order of the results.
std::vector<std::string> ResultNames() {
    return {kResultControls.begin(), kResultControls.end()};
}

}  // namespace

EMSCRIPTEN_BINDINGS(taviro_simulator) {
    using namespace emscripten;
    value_object<ParameterTexts>("ParameterTexts")
        .field("TexBIG", &ParameterTexts::TexBIG)
        .field("TexREG", &ParameterTexts::TexREG)
        .field("TexGAME", &ParameterTexts::TexGAME)
        .field("TexN_BASE", &ParameterTexts::TexN_BASE)
        .field("TexAR_BASE", &ParameterTexts::TexAR_BASE)
        .field("TexNBIG", &ParameterTexts::TexNBIG)
        .field("TexHBIG", &ParameterTexts::TexHBIG)
        .field("TexREGOUT", &ParameterTexts::TexREGOUT);
    value_object<SimulatorFields>("SimulatorFields")
        .field("Combo1", &SimulatorFields::Combo1)
        .field("TexKankin", &SimulatorFields::TexKankin)
        .field("parameters", &SimulatorFields::parameters);
    value_object<PresetAnswer>("PresetAnswer")
        .field("found", &PresetAnswer::found)
        .field("big", &PresetAnswer::big)
        .field("reg", &PresetAnswer::reg);
    value_object<Money>("Money")
        .field("investment", &Money::investment)
        .field("finalCoins", &Money::finalCoins)
        .field("netResult", &Money::netResult)
        .field("hasNet", &Money::hasNet);
    value_object<Graph>("Graph")
        .field("svg", &Graph::svg)
        .field("description", &Graph::description);
    register_vector<std::string>("Texts");
    value_object<RunAnswer>("RunAnswer")
        .field("message", &RunAnswer::message)
        .field("seed", &RunAnswer::seed)
        .field("seedNote", &RunAnswer::seedNote)
        .field("results", &RunAnswer::results)
        .field("history", &RunAnswer::history)
        .field("money", &RunAnswer::money)
        .field("designed", &RunAnswer::designed)
        .field("fitted", &RunAnswer::fitted);
    value_object<FileAnswer>("FileAnswer")
        .field("message", &FileAnswer::message)
        .field("name", &FileAnswer::name)
        .field("saved", &FileAnswer::saved);
    function("resultNames", &ResultNames);
    function("simulatorDefaults", &Defaults);
    function("settingPreset", &Preset);
    function("simulate", &Simulate);
    function("moneyAt", &MoneyAt);
    function("dataFile", &DataFile);
}

}  // namespace taviro::web
