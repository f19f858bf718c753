#include "main_window.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QCoreApplication>

#include "data_file.h"
#include "money_summary.h"
#include "wait_cursor.h"

namespace taviro {

MainWindow::MainWindow(UniformSource& source, MessageBox& messages, FileSystem& files)
    : SimulatorForm(Edition::Full, source, messages), files_(files) {
    connect(qobject_cast<QAbstractButton*>(Control(QStringLiteral("Command1"))),
            &QAbstractButton::clicked, this, [this] { Command1_Click(); });
    connect(qobject_cast<QAbstractButton*>(Control(QStringLiteral("ComG"))),
            &QAbstractButton::clicked, this, [this] { ComG_Click(); });
}

MainWindow::~MainWindow() {
    delete graph_;
}

GraphWindow& MainWindow::Graph() {
    if (graph_ == nullptr) {
        graph_ = new GraphWindow(*this);  // unowned: a top-level window of its own
        // Where the design first places it: 1200 twips from the left, 2040 from the top.
        graph_->setGeometry(Pixels(1200), Pixels(2040), graph_->width(), graph_->height());
    }
    return *graph_;
}

void MainWindow::Kekka() {
    const auto results = ResultTexts(state_);
    const std::span<const ResultText> all(results);
    WriteResults(all.first(kResultsBeforeMoneySummary));
    GraphWindow& graph = Graph();
    graph.ShowSummary(
        ComputeMoneySummary(state_.MinBalance, state_.VirtualOut, graph.RateText().toStdString()));
    WriteResults(all.subspan(kResultsBeforeMoneySummary));
}

void MainWindow::ComG_Click() {
    if (state_.GameCount == 0) {
        messages_.Show("まずシミュレートを実行してください。");
        return;
    }
    GraphWindow& graph = Graph();
    graph.ClearCurve();
    state_.GraphYDiv = 2;
    state_.GraphY0 = 5000;
    state_.GraphX0 = 1000;
    graph.show();
    graph.raise();
    graph.activateWindow();
    graph.DrawCurve(state_);
}

void MainWindow::Command1_Click() {
    auto text = [this](const char* name) { return Text(QString::fromLatin1(name)).toStdString(); };
    const DataFileTexts texts = {text("Combo1"), text("TexOUT"), text("TexPAY"), text("LabP_BIG"),
                                 text("LabP_REG")};
    const WaitCursor wait;
    ExportDataFile(state_, texts, files_, messages_);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (graph_ != nullptr) graph_->close();
    event->accept();
    QCoreApplication::quit();
}

}  // namespace taviro
