// The full edition's main window `Main`.
#pragma once

#include "simulator_form.h"

namespace taviro {

class MainWindow final : public SimulatorForm {
  public:
    MainWindow(UniformSource& source, MessageBox& messages);

    // The results display: every result field of the window.
    void Kekka();

  protected:
    void ShowRunResults() override { Kekka(); }
    void closeEvent(QCloseEvent* event) override;  // Form_Unload
};

}  // namespace taviro
