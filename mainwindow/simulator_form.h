// The main window as both editions share it: the parameter fields, the setting preset, the start
// command and the result fields.
#pragma once

#include <QWidget>
#include <cstdint>
#include <span>
#include <string_view>

#include "form_builder.h"
#include "message_box.h"
#include "parameters.h"
#include "result_texts.h"
#include "simulation_state.h"
#include "start_command.h"
#include "uniform_source.h"

namespace taviro {

class SimulatorForm : public QWidget {
  public:
    SimulatorForm(Edition edition, UniformSource& source, MessageBox& messages);

    // The start command: reseed, read the parameters, play the run and show its results, or
    // show why it cannot run.
    void Comstart_Click();

    const SimulationState& State() const { return state_; }
    QString Text(const QString& control) const { return controls_.Text(control); }
    QWidget* Control(const QString& control) const { return controls_.Find(control); }

    // The most history a run may allocate; by default half of the physical memory.
    void SetHistoryLimit(std::uint64_t bytes) { historyLimit_ = bytes; }

  protected:
    // Writes the results of the last run into the window.
    virtual void ShowRunResults() = 0;
    void WriteResults(std::span<const ResultText> results);
    void SetText(const QString& control, const QString& text) { controls_.SetText(control, text); }

    SimulationState state_;
    MessageBox& messages_;

  private:
    void ApplySettingPreset();  // Combo1_Change and Combo1_Click
    ParameterTexts ReadParameters() const;

    Edition edition_;
    UniformSource& source_;
    FormControls controls_;
    std::uint64_t historyLimit_ = DefaultHistoryLimit();
};

}  // namespace taviro
