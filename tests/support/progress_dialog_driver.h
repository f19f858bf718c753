// Acting on a task's progress dialog while the task is held on its worker thread.
#pragma once

#include <QApplication>
#include <QLabel>
#include <QtTest>
#include <functional>

#include "forms/progress_dialog.h"
#include "support/fake_clock.h"

namespace taviro::test_support {

inline ProgressDialog* ShownProgressDialog() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<ProgressDialog*>(w); dialog && dialog->isVisible()) {
            return dialog;
        }
    }
    return nullptr;
}

inline QString DialogText(ProgressDialog& dialog, const char* line) {
    return dialog.findChild<QLabel*>(QString::fromLatin1(line))->text();
}

// Calls `start`, which returns when its task has ended. While the task is held, the clock is moved
// past the dialog's delay, `during` is called with the dialog once it shows, and then `release`
// lets the task go on (also when the dialog never showed). True when `during` was called.
inline bool WithProgressDialog(FakeClock& clock, const std::function<void()>& start,
                               const std::function<void(ProgressDialog&)>& during,
                               const std::function<void()>& release) {
    bool called = false;
    QTimer::singleShot(0, qApp, [&] {
        struct Releaser {
            const std::function<void()>& release;
            ~Releaser() { release(); }
        } releaser{release};
        clock.Advance(1.0);
        QTRY_VERIFY_WITH_TIMEOUT(ShownProgressDialog() != nullptr, 30000);
        called = true;
        during(*ShownProgressDialog());
    });
    start();
    return called;
}

}  // namespace taviro::test_support
