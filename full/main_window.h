// The full edition's main window `Main`.
#pragma once

#include <QPointer>
#include <optional>

#include "datafile/file_system.h"
#include "forms/image_file_dialog.h"
#include "forms/simulator_form.h"
#include "full/graph_window.h"

namespace taviro {

class MainWindow final : public SimulatorForm {
    Q_OBJECT

  public:
    MainWindow(UniformSource& source, MessageBox& messages, FileSystem& files);
    ~MainWindow() override;

    // Draws the slump graph of the last run.
    void ComG_Click();
    // The results display: every result field, with the money summary of the graph window.
    void Kekka();
    // Writes the data file of the last run.
    void Command1_Click();

    // The graph window if it exists (it is created on first use and discarded when closed).
    GraphWindow* LoadedGraph() const { return graph_; }
    // Where the graph window asks for the file of a saved picture; tests answer it. Taken by the
    // graph window when it is created.
    void SetImageFileDialog(ImageFileDialog& dialog) { imageFiles_ = &dialog; }

  protected:
    void ShowRunResults() override { Kekka(); }
    // The fields, the curve and the money summary.
    void ClearRunResults() override;
    void closeEvent(QCloseEvent* event) override;  // Form_Unload

  private:
    GraphWindow& Graph();  // creates the window, hidden, on first access

    FileSystem& files_;
    // A top-level window without an owner, so that it can go behind the main window; it deletes
    // itself when closed, and the destructor deletes it if it is still there.
    QPointer<GraphWindow> graph_;
    QtImageFileDialog qtImageFiles_;
    ImageFileDialog* imageFiles_ = &qtImageFiles_;
};

}  // namespace taviro
