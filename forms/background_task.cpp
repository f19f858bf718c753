#include "forms/background_task.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <atomic>
#include <exception>
#include <system_error>
#include <thread>

#include "forms/progress_dialog.h"

namespace taviro {

namespace {

constexpr int kRefreshMilliseconds = 100;

bool IsInput(const QEvent& event) {
    switch (event.type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::InputMethod:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::DragEnter:
        case QEvent::Drop:
            return true;
        case QEvent::Close:  // the user's, not the program's own
            return event.spontaneous();
        default:
            return false;
    }
}

// Drops the user's input to every window but the progress dialog for as long as it lives.
class InputBlocker final : public QObject {
  public:
    InputBlocker() { QCoreApplication::instance()->installEventFilter(this); }
    ~InputBlocker() override { QCoreApplication::instance()->removeEventFilter(this); }
    InputBlocker(const InputBlocker&) = delete;
    InputBlocker& operator=(const InputBlocker&) = delete;

    void Allow(QWidget* window) { allowed_ = window; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr || !IsInput(*event)) return false;
        if (allowed_ != nullptr && widget->window() == allowed_) return false;
        // An accepted shortcut override keeps the key from triggering a shortcut; an ignored close
        // keeps the window open.
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
        } else {
            event->ignore();
        }
        return true;
    }

  private:
    QPointer<QWidget> allowed_;
};

}  // namespace

TaskEnd RunInBackground(QWidget& owner, const TaskTexts& task, std::int64_t total,
                        const Clock& clock, const std::function<bool(RunControl&)>& work) {
    RunControl control;
    ProgressMeter meter(clock, total);
    InputBlocker blocker;
    QEventLoop loop;
    std::atomic<bool> ended{false};
    bool finished = false;
    std::exception_ptr failure;

    auto body = [&] {
        try {
            finished = work(control);
        } catch (...) {
            failure = std::current_exception();
        }
        ended.store(true, std::memory_order_release);
        QMetaObject::invokeMethod(
            &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    };
    // Without a thread of its own (the system refuses one), the task runs here, to its end.
    std::thread worker;
    try {
        worker = std::thread(body);
    } catch (const std::system_error&) {
        body();
    }

    QPointer<ProgressDialog> dialog;
    bool busyCursor = false;
    QTimer refresh;
    refresh.setInterval(kRefreshMilliseconds);
    QObject::connect(&refresh, &QTimer::timeout, &loop, [&] {
        if (dialog == nullptr) {
            if (!meter.DialogDue()) return;
            dialog = new ProgressDialog(owner, task);
            QObject::connect(dialog, &ProgressDialog::CancelRequested, &loop,
                             [&control] { control.RequestStop(); });
            blocker.Allow(dialog);
            dialog->show();
            // The pointer that tells "busy, but the dialog can be used".
            QApplication::setOverrideCursor(Qt::BusyCursor);
            busyCursor = true;
        }
        const std::int64_t done = control.GamesPlayed();
        const ProgressLines lines = meter.Lines(done, task.unit);
        dialog->ShowProgress(meter.Figures(done).percent, lines);
    });
    refresh.start();
    if (!ended.load(std::memory_order_acquire)) loop.exec();
    refresh.stop();

    // The loop also ends when the program does; the task then stops at its next look.
    const bool interrupted = !ended.load(std::memory_order_acquire);
    if (interrupted) control.RequestStop();
    if (worker.joinable()) worker.join();
    delete dialog;
    if (busyCursor) QApplication::restoreOverrideCursor();
    if (failure) std::rethrow_exception(failure);
    if (finished) return TaskEnd::Finished;
    return interrupted ? TaskEnd::Interrupted : TaskEnd::Cancelled;
}

}  // namespace taviro
