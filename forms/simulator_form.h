// The main window as both editions share it: the parameter fields, the setting preset, the start
// command and the result fields.
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "core/message_box.h"
#include "core/parameters.h"
#include "core/progress_figures.h"
#include "core/result_texts.h"
#include "core/simulation_state.h"
#include "core/start_outcome.h"
#include "core/start_transaction.h"
#include "core/uniform_source.h"
#include "forms/background_task.h"
#include "forms/form_builder.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace taviro {

class SimulatorForm : public QWidget {
    Q_OBJECT

  public:
    SimulatorForm(Edition edition, UniformSource& source, MessageBox& messages);

    // The start command: reseed, read the parameters, play the run and show its results, or
    // show why it cannot run. The run plays on a worker thread; the call returns when it has
    // ended, and a run the user cancels leaves the window and its state as they were.
    void Comstart_Click();
    // While a run or a data file is under way.
    bool Busy() const { return busy_; }

    const SimulationState& State() const { return state_; }
    // A control by its designed name, for the data file's texts and for tests.
    QWidget* Control(const QString& control) const { return controls_.Find(control); }
    QString Text(const QString& control) const { return ControlText(Control(control)); }

    // The most history a run may allocate; by default half of the physical memory.
    void SetHistoryLimit(std::uint64_t bytes) { historyLimit_ = bytes; }
    // The clock of the progress dialogs and the allocation of the history; tests replace them.
    void SetClock(const Clock& clock) { clock_ = &clock; }
    void SetHistoryAllocator(HistoryAllocator allocate) { allocateHistory_ = allocate; }

  protected:
    // The start command, with its progress dialog modal to `owner`.
    void StartRun(QWidget& owner);
    // Runs `work` on a worker thread with the form busy (see RunInBackground).
    TaskEnd RunTask(QWidget& owner, const TaskTexts& task, std::int64_t total,
                    const std::function<bool(RunControl&)>& work);

    // Writes the results of the last run into the window.
    virtual void ShowRunResults() = 0;
    // Empties every result, when a start could not keep the last run's.
    virtual void ClearRunResults();
    // Writes results[first] onwards into their fields.
    void WriteResults(const ResultTextList& results, std::size_t first, std::size_t count);
    // What the setting selector and a result field show now (UTF-8).
    std::string SettingText() const;
    std::string ShownResult(std::size_t index) const;

    SimulationState state_;
    MessageBox& messages_;
    FormControls controls_;

  private:
    void ApplySettingPreset();  // Combo1_Change and Combo1_Click
    ParameterTexts ReadParameters() const;
    // Plays a start to its end; returns what the window shows next: the results (Ran), a message,
    // or nothing after a cancelled run.
    std::optional<StartOutcome> PlayStart(QWidget& owner);

    // The controls the form reads and writes, resolved once from the layout.
    QComboBox* setting_;  // Combo1
    QPushButton* start_;  // ComStart
    struct ParameterFields {
        QLineEdit* TexBIG;
        QLineEdit* TexREG;
        QLineEdit* TexGAME;
        QLineEdit* TexN_BASE;
        QLineEdit* TexAR_BASE;
        QLineEdit* TexNBIG;
        QLineEdit* TexHBIG;
        QLineEdit* TexREGOUT;
    } parameters_;
    std::array<QWidget*, kResultCount> results_;  // the fields of kResultControls, in order

    Edition edition_;
    UniformSource& source_;
    std::uint64_t historyLimit_ = DefaultHistoryLimit();
    HistoryOrigin origin_;  // of the history in state_
    HistoryAllocator allocateHistory_ = AllocateHistory;
    SteadyClock steadyClock_;
    const Clock* clock_ = &steadyClock_;
    bool busy_ = false;
};

}  // namespace taviro
