// Reaching the main window's controls by name, for window tests.
#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "simulator_form.h"

namespace taviro::testing {

inline QLineEdit* Field(const SimulatorForm& form, const char* name) {
    return qobject_cast<QLineEdit*>(form.Control(QString::fromLatin1(name)));
}

inline void SetField(const SimulatorForm& form, const char* name, const QString& text) {
    Field(form, name)->setText(text);
}

// Presses the start button with the mouse.
inline void ClickStart(const SimulatorForm& form) {
    QTest::mouseClick(qobject_cast<QPushButton*>(form.Control("ComStart")), Qt::LeftButton);
}

}  // namespace taviro::testing
