// The dialog of a long task: its heading, a bar with the share done, the pace, the time left, and
// a Cancel button when the task can be stopped. Modal to the window that started the task.
#pragma once

#include <QDialog>

#include "core/progress_figures.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace taviro {

class ProgressDialog final : public QDialog {
    Q_OBJECT

  public:
    ProgressDialog(QWidget& owner, const TaskTexts& task);

    void ShowProgress(int percent, const ProgressLines& lines);

  signals:
    // Cancel, Escape or the window's close button, once.
    void CancelRequested();

  protected:
    void reject() override;

  private:
    bool cancellable_;
    bool cancelling_ = false;
    QLabel* heading_;
    QProgressBar* bar_;
    QLabel* share_;
    QLabel* pace_;
    QLabel* timeLeft_;
    QPushButton* cancel_ = nullptr;
};

}  // namespace taviro
