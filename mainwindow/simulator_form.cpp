#include "simulator_form.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

#include "app_setup.h"
#include "wait_cursor.h"

namespace taviro {

SimulatorForm::SimulatorForm(Edition edition, UniformSource& source, MessageBox& messages)
    : messages_(messages), edition_(edition), source_(source) {
    state_.KeepsHistory = edition == Edition::Full;
    controls_ = BuildForm(*this, MainFormLayout(), edition == Edition::Full);
    setWindowIcon(ProgramIcon());

    auto* combo = qobject_cast<QComboBox*>(Control(QStringLiteral("Combo1")));
    // The user's edits of the text (each keystroke), and picks from the list.
    connect(combo->lineEdit(), &QLineEdit::textEdited, this, [this] { ApplySettingPreset(); });
    connect(combo, &QComboBox::activated, this, [this] { ApplySettingPreset(); });
    connect(qobject_cast<QAbstractButton*>(Control(QStringLiteral("ComStart"))),
            &QAbstractButton::clicked, this, [this] { Comstart_Click(); });
    combo->setFocus();
}

void SimulatorForm::ApplySettingPreset() {
    const auto preset = SettingPreset(Text(QStringLiteral("Combo1")).toStdString());
    if (!preset) return;
    SetText(QStringLiteral("TexBIG"), ToQString(preset->big));
    SetText(QStringLiteral("TexREG"), ToQString(preset->reg));
}

ParameterTexts SimulatorForm::ReadParameters() const {
    auto read = [this](const char* name) { return Text(QString::fromLatin1(name)).toStdString(); };
    ParameterTexts texts;
    texts.TexBIG = read("TexBIG");
    texts.TexREG = read("TexREG");
    texts.TexGAME = read("TexGAME");
    texts.TexN_BASE = read("TexN_BASE");
    texts.TexAR_BASE = read("TexAR_BASE");
    texts.TexNBIG = read("TexNBIG");
    texts.TexHBIG = read("TexHBIG");
    texts.TexREGOUT = read("TexREGOUT");
    return texts;
}

void SimulatorForm::Comstart_Click() {
    StartOutcome outcome;
    {
        const WaitCursor wait;
        outcome = StartCommand(state_, ReadParameters(), source_, historyLimit_);
    }
    if (outcome != StartOutcome::Ran) {
        messages_.Show(StartMessage(outcome, edition_));
        return;
    }
    ShowRunResults();
}

void SimulatorForm::WriteResults(std::span<const ResultText> results) {
    for (const ResultText& result : results) {
        SetText(ToQString(result.control), QString::fromStdString(result.text));
    }
}

}  // namespace taviro
