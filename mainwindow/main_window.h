// The full edition's main window `Main`.
#pragma once

#include <QPointer>

#include "file_system.h"
#include "graph_host.h"
#include "graph_window.h"
#include "simulator_form.h"

namespace taviro {

class MainWindow final : public SimulatorForm, public GraphHost {
  public:
    MainWindow(UniformSource& source, MessageBox& messages, FileSystem& files);
    ~MainWindow() override;

    void Comstart_Click() override { SimulatorForm::Comstart_Click(); }
    // Draws the slump graph of the last run.
    void ComG_Click() override;
    // The results display: every result field, with the money summary of the graph window.
    void Kekka() override;

    // Writes the data file of the last run.
    void Command1_Click();

    // The graph window if it exists (it is created on first use and discarded when closed).
    GraphWindow* LoadedGraph() const { return graph_; }

  protected:
    void ShowRunResults() override { Kekka(); }
    void closeEvent(QCloseEvent* event) override;  // Form_Unload

  private:
    GraphWindow& Graph();  // creates the window, hidden, on first access

    FileSystem& files_;
    QPointer<GraphWindow> graph_;
};

}  // namespace taviro
