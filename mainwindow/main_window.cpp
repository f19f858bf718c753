#include "main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>

namespace taviro {

MainWindow::MainWindow(UniformSource& source, MessageBox& messages)
    : SimulatorForm(Edition::Full, source, messages) {}

void MainWindow::Kekka() {
    const auto results = ResultTexts(state_);
    const std::span<const ResultText> all(results);
    WriteResults(all.first(kResultsBeforeMoneySummary));
    WriteResults(all.subspan(kResultsBeforeMoneySummary));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    QCoreApplication::quit();
}

}  // namespace taviro
