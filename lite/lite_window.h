// The light edition's only window `Form1`: the main window without the graph and data-file
// buttons, and runs without any per-game history.
#pragma once

#include "simulator_form.h"

namespace taviro {

class LiteWindow final : public SimulatorForm {
  public:
    LiteWindow(UniformSource& source, MessageBox& messages)
        : SimulatorForm(Edition::Lite, source, messages) {
        setObjectName(QStringLiteral("Form1"));
    }

    // The results display without the money summary.
    void ShowResults() { WriteResults(ResultTexts(state_)); }

  protected:
    void ShowRunResults() override { ShowResults(); }
};

}  // namespace taviro
