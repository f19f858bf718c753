// The light edition's only window `Form1`: the main window without the graph and data-file
// buttons, and runs without any per-game history.
#pragma once

#include "forms/simulator_form.h"

namespace taviro {

class LiteWindow final : public SimulatorForm {
    Q_OBJECT

  public:
    LiteWindow(UniformSource& source, MessageBox& messages);

    // The results display without the money summary.
    void ShowResults();

  protected:
    void ShowRunResults() override { ShowResults(); }
};

}  // namespace taviro
