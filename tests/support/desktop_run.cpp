// The full and light editions' start command, results display, money summary, curve and data file
// without their windows, for the web page's tests to hold the page to: one run from a given seed.
//   desktop_run SEED HISTORY(0|1) SETTING TexBIG TexREG TexGAME TexN_BASE TexAR_BASE TexNBIG
//               TexHBIG TexREGOUT RATE FOLDER
// Prints JSON: the start command's message, the 21 result texts, the money summary, the designed
// scale's segments [from x, from y, to x, to y] in twips, and the data file written in FOLDER.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/money_summary.h"
#include "core/result_texts.h"
#include "core/slump_curve.h"
#include "core/start_transaction.h"
#include "core/xoshiro_source.h"
#include "datafile/data_file.h"

namespace {

using namespace taviro;

// The program's generator, its clock's seed replaced by the one given.
class GivenSeed final : public UniformSource {
  public:
    explicit GivenSeed(std::uint64_t seed) : seed_(seed), source_(seed) {}
    std::uint64_t Reseed() override {
        source_.Restart(seed_);
        return seed_;
    }
    void Restart(std::uint64_t seed) override { source_.Restart(seed); }
    void Fill(std::span<float> out) override { source_.Fill(out); }
    void FillDraws(std::span<std::int32_t> out) override { source_.FillDraws(out); }

  private:
    std::uint64_t seed_;
    XoshiroSource source_;
};

void PrintText(const char* key, const std::string& text) {
    std::printf("\"%s\":\"%s\",", key, text.c_str());
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 14) {
        std::fprintf(stderr, "usage: desktop_run SEED HISTORY SETTING 8×TEXT RATE FOLDER\n");
        return 2;
    }
    const bool history = std::string(argv[2]) == "1";
    const std::string setting = argv[3];
    const ParameterTexts texts{argv[4], argv[5], argv[6],  argv[7],
                               argv[8], argv[9], argv[10], argv[11]};
    SimulationState state;
    state.KeepsHistory = history;
    HistoryOrigin origin;
    GivenSeed source(std::strtoull(argv[1], nullptr, 10));
    StartTransaction start(state, origin, source);
    const StartOutcome outcome = start.Prepare(texts, DefaultHistoryLimit());
    std::printf("{");
    PrintText("message",
              std::string(StartMessage(outcome, history ? Edition::Full : Edition::Lite)));
    if (outcome == StartOutcome::Ran) {
        RunControl control;
        if (!start.Play(control)) return 1;
        start.Commit();
        const ResultTextList results = ResultTexts(state);
        std::printf("\"results\":[");
        for (std::size_t i = 0; i < results.size(); ++i)
            std::printf("%s\"%s\"", i ? "," : "", results[i].c_str());
        std::printf("],");
        if (history) {
            const MoneySummary money =
                ComputeMoneySummary(state.MinBalance, state.VirtualOut, argv[12]);
            std::printf("\"money\":[\"%s\",\"%s\",\"%s\"],", money.investment.c_str(),
                        money.finalCoins.c_str(), money.netResult.value_or("").c_str());
            UseDesignedScale(state);
            std::printf("\"segments\":[");
            bool first = true;
            ForEachVisibleSegment(state, kDesignedPlot.right, [&](CurvePoint from, CurvePoint to) {
                std::printf("%s[%.9g,%.9g,%.9g,%.9g]", first ? "" : ",", from.x, from.y, to.x,
                            to.y);
                first = false;
            });
            std::printf("],");
            const DataFileTexts file = {
                setting, results[ResultIndex("TexOUT")], results[ResultIndex("TexPAY")],
                results[ResultIndex("LabP_BIG")], results[ResultIndex("LabP_REG")]};
            std::filesystem::current_path(argv[13]);
            PosixFileSystem files;
            state.DataFileName = DataFileName(setting);
            if (state.GameCount >= 3) {
                const SaveResult saved = SaveDataFile(state, file, files);
                if (saved.status != SaveResult::Status::Saved) {
                    std::fprintf(stderr, "desktop_run: %s\n", saved.error.c_str());
                    return 1;
                }
                PrintText("file", (std::filesystem::path(argv[13]) / state.DataFileName).string());
            }
        }
    }
    std::printf("\"seed\":\"%s\"}\n", argv[1]);
    return 0;
}
