// The full edition's main window `Main`.
#pragma once

#include <QPointer>

#include "graph_host.h"
#include "graph_window.h"
#include "simulator_form.h"

namespace taviro {

class MainWindow final : public SimulatorForm, public GraphHost {
  public:
    MainWindow(UniformSource& source, MessageBox& messages);
    ~MainWindow() override;

    void Comstart_Click() override { SimulatorForm::Comstart_Click(); }
    // Draws the slump graph of the last run.
    void ComG_Click() override;
    // The results display: every result field, with the money summary of the graph window.
    void Kekka() override;

    // The graph window if it exists (it is created on first use and discarded when closed).
    GraphWindow* LoadedGraph() const { return graph_; }

  protected:
    void ShowRunResults() override { Kekka(); }
    void closeEvent(QCloseEvent* event) override;  // Form_Unload

  private:
    GraphWindow& Graph();  // creates the window, hidden, on first access

    QPointer<GraphWindow> graph_;
};

}  // namespace taviro
