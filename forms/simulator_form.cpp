#include "forms/simulator_form.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "forms/app_setup.h"
#include "forms/wait_cursor.h"

namespace taviro {

SimulatorForm::SimulatorForm(Edition edition, UniformSource& source, MessageBox& messages)
    : messages_(messages),
      controls_(BuildForm(*this, MainFormLayout(), edition == Edition::Full)),
      setting_(controls_.Require<QComboBox>(QStringLiteral("Combo1"))),
      start_(controls_.Require<QPushButton>(QStringLiteral("ComStart"))),
      edition_(edition),
      source_(source) {
    state_.KeepsHistory = edition == Edition::Full;
    setWindowIcon(ProgramIcon());
    auto field = [this](const char* name) {
        return controls_.Require<QLineEdit>(QString::fromLatin1(name));
    };
    parameters_ = {field("TexBIG"),     field("TexREG"),  field("TexGAME"), field("TexN_BASE"),
                   field("TexAR_BASE"), field("TexNBIG"), field("TexHBIG"), field("TexREGOUT")};
    for (std::size_t i = 0; i < kResultCount; ++i) {
        results_[i] = controls_.Require<QWidget>(ToQString(kResultControls[i]));
    }

    // The user's edits of the text (each keystroke), and picks from the list.
    connect(setting_->lineEdit(), &QLineEdit::textEdited, this, &SimulatorForm::ApplySettingPreset);
    connect(setting_, &QComboBox::activated, this, &SimulatorForm::ApplySettingPreset);
    connect(start_, &QPushButton::clicked, this, &SimulatorForm::Comstart_Click);
    setting_->setFocus();
}

void SimulatorForm::ApplySettingPreset() {
    const auto preset = SettingPreset(setting_->currentText().toStdString());
    if (!preset) return;
    SetControlText(parameters_.TexBIG, ToQString(preset->big));
    SetControlText(parameters_.TexREG, ToQString(preset->reg));
}

ParameterTexts SimulatorForm::ReadParameters() const {
    auto read = [](const QLineEdit* field) { return field->text().toStdString(); };
    ParameterTexts texts;
    texts.TexBIG = read(parameters_.TexBIG);
    texts.TexREG = read(parameters_.TexREG);
    texts.TexGAME = read(parameters_.TexGAME);
    texts.TexN_BASE = read(parameters_.TexN_BASE);
    texts.TexAR_BASE = read(parameters_.TexAR_BASE);
    texts.TexNBIG = read(parameters_.TexNBIG);
    texts.TexHBIG = read(parameters_.TexHBIG);
    texts.TexREGOUT = read(parameters_.TexREGOUT);
    return texts;
}

void SimulatorForm::Comstart_Click() {
    StartRun(*this);
}

void SimulatorForm::StartRun(QWidget& owner) {
    if (busy_) return;
    const std::optional<StartOutcome> outcome = PlayStart(owner);
    if (!outcome) return;
    if (*outcome == StartOutcome::Ran) {
        ShowRunResults();
    } else {
        messages_.Show(StartMessage(*outcome, edition_));
    }
}

std::optional<StartOutcome> SimulatorForm::PlayStart(QWidget& owner) {
    const WaitCursor wait;
    StartTransaction start(state_, origin_, source_, allocateHistory_);
    const StartOutcome outcome = start.Prepare(ReadParameters(), historyLimit_);
    if (start.ResultsLost()) ClearRunResults();
    if (outcome != StartOutcome::Ran) return outcome;

    const TaskEnd end = RunTask(owner, kRunTask, start.Games(),
                                [&start](RunControl& control) { return start.Play(control); });
    if (end == TaskEnd::Finished) {
        start.Commit();
        return outcome;
    }
    const std::int32_t replay = start.Abandon();
    if (replay > 0 && end == TaskEnd::Cancelled) {
        RunTask(owner, kRestoreTask, replay,
                [&start](RunControl& control) { return start.Replay(control); });
    }
    if (start.Restore()) return std::nullopt;
    ClearRunResults();
    // Only memory can keep the last run's history from being rebuilt; a program that is ending
    // shows nothing.
    if (end == TaskEnd::Cancelled) return StartOutcome::OutOfMemory;
    return std::nullopt;
}

TaskEnd SimulatorForm::RunTask(QWidget& owner, const TaskTexts& task, std::int64_t total,
                               const std::function<bool(RunControl&)>& work) {
    busy_ = true;
    struct Idle {
        bool& busy;
        ~Idle() { busy = false; }
    } idle{busy_};
    return RunInBackground(owner, task, total, *clock_, work);
}

void SimulatorForm::ClearRunResults() {
    WriteResults(ResultTextList{}, 0, kResultCount);
}

std::string SimulatorForm::SettingText() const {
    return setting_->currentText().toStdString();
}

std::string SimulatorForm::ShownResult(std::size_t index) const {
    return ControlText(results_.at(index)).toStdString();
}

void SimulatorForm::WriteResults(const ResultTextList& results, std::size_t first,
                                 std::size_t count) {
    for (std::size_t i = first; i < first + count; ++i) {
        SetControlText(results_[i], QString::fromStdString(results[i]));
    }
}

}  // namespace taviro
