#include "full/main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPushButton>

#include "core/money_summary.h"
#include "core/slump_curve.h"
#include "datafile/data_file.h"
#include "forms/wait_cursor.h"

namespace taviro {

MainWindow::MainWindow(UniformSource& source, MessageBox& messages, FileSystem& files)
    : SimulatorForm(Edition::Full, source, messages), files_(files) {
    connect(controls_.Require<QPushButton>(QStringLiteral("Command1")), &QPushButton::clicked, this,
            &MainWindow::Command1_Click);
    connect(controls_.Require<QPushButton>(QStringLiteral("ComG")), &QPushButton::clicked, this,
            &MainWindow::ComG_Click);
}

MainWindow::~MainWindow() {
    delete graph_;
}

GraphWindow& MainWindow::Graph() {
    if (graph_ == nullptr) {
        graph_ = new GraphWindow(messages_, *imageFiles_);
        // Where the design first places it: 1200 twips from the left, 2040 from the top.
        graph_->setGeometry(Pixels(1200), Pixels(2040), graph_->width(), graph_->height());
        connect(graph_, &GraphWindow::RateEdited, this, &MainWindow::Kekka);
        connect(graph_, &GraphWindow::SurfaceClicked, this, &MainWindow::ComG_Click);
        connect(graph_, &GraphWindow::ScaleChosen, this, &MainWindow::ComG_Click);
        connect(graph_, &GraphWindow::RerunRequested, this, [this] {
            StartRun(*graph_);  // its progress dialog over the graph window
            ComG_Click();
        });
    }
    return *graph_;
}

void MainWindow::Kekka() {
    const ResultTextList results = ResultTexts(state_);
    WriteResults(results, 0, kResultsBeforeMoneySummary);
    GraphWindow& graph = Graph();
    graph.ShowSummary(
        ComputeMoneySummary(state_.MinBalance, state_.VirtualOut, graph.RateText().toStdString()));
    WriteResults(results, kResultsBeforeMoneySummary, kResultCount - kResultsBeforeMoneySummary);
}

void MainWindow::ClearRunResults() {
    SimulatorForm::ClearRunResults();
    if (graph_ != nullptr) {
        graph_->ClearCurve();
        graph_->ShowSummary({"", "", std::string()});
    }
}

void MainWindow::ComG_Click() {
    if (Busy()) return;  // the history is being replaced
    if (state_.GameCount == 0) {
        messages_.Show("まずシミュレートを実行してください。");
        return;
    }
    GraphWindow& graph = Graph();
    graph.ClearCurve();
    UseDesignedScale(state_);
    graph.show();
    graph.raise();
    graph.activateWindow();
    graph.DrawCurve(state_);
}

void MainWindow::Command1_Click() {
    if (Busy()) return;
    const DataFileTexts texts = {
        SettingText(), ShownResult(ResultIndex("TexOUT")), ShownResult(ResultIndex("TexPAY")),
        ShownResult(ResultIndex("LabP_BIG")), ShownResult(ResultIndex("LabP_REG"))};
    SaveResult result{SaveResult::Status::Stopped, {}};
    {
        const WaitCursor wait;
        if (!ConfirmDataFile(state_, texts, files_, messages_)) return;
        RunTask(*this, kSaveTask, state_.GameCount, [&](RunControl& control) {
            result = SaveDataFile(state_, texts, files_, &control);
            return result.status != SaveResult::Status::Stopped;
        });
    }
    ReportSave(result, state_.DataFileName, messages_);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (graph_ != nullptr) graph_->close();
    event->accept();
    QCoreApplication::quit();
}

}  // namespace taviro
