// Window tests reach a window's controls by their designed names and follow Tab through them.
#pragma once

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "forms/simulator_form.h"

namespace taviro::test_support {

inline QLineEdit* Field(const SimulatorForm& form, const char* name) {
    return qobject_cast<QLineEdit*>(form.Control(QString::fromLatin1(name)));
}

inline void SetField(const SimulatorForm& form, const char* name, const QString& text) {
    Field(form, name)->setText(text);
}

// The texts of the result fields, as shown and as the window-free code gives them for `s`.
inline QStringList ShownResults(const SimulatorForm& form) {
    QStringList texts;
    for (std::string_view control : kResultControls) texts << form.Text(ToQString(control));
    return texts;
}
inline QStringList ResultTextsOf(const SimulationState& s) {
    QStringList texts;
    for (const std::string& text : ResultTexts(s)) texts << QString::fromStdString(text);
    return texts;
}

// Presses a button with the mouse.
inline void Click(QWidget* button) {
    QTest::mouseClick(qobject_cast<QPushButton*>(button), Qt::LeftButton);
}
inline void ClickStart(const SimulatorForm& form) {
    Click(form.Control("ComStart"));
}

// The names of the controls that Tab reaches, `count` of them from the focused one on; a control
// without a name is known by its nearest named parent.
inline QStringList TabChain(int count) {
    QStringList names;
    for (int i = 0; i < count; ++i) {
        QWidget* focused = QApplication::focusWidget();
        while (focused != nullptr && focused->objectName().isEmpty())
            focused = focused->parentWidget();
        names << (focused != nullptr ? focused->objectName() : QString());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    return names;
}

// Makes a new empty folder the working directory for as long as it lives, and then returns to the
// previous one, also when the test fails half-way.
class TemporaryWorkingDirectory {
  public:
    TemporaryWorkingDirectory() : previous_(QDir::currentPath()) {
        QDir::setCurrent(folder_.path());
    }
    ~TemporaryWorkingDirectory() { QDir::setCurrent(previous_); }
    QString FilePath(const QString& name) const { return folder_.filePath(name); }

  private:
    QString previous_;
    QTemporaryDir folder_;
};

}  // namespace taviro::test_support
