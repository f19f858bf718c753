// What a screen reader announces for the controls of a window.
#pragma once

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>
#include <QtTest>

#include "forms/form_builder.h"
#include "forms/form_layout.h"

namespace taviro::test_support {

inline QString AccessibleText(QWidget* widget, QAccessible::Text text = QAccessible::Name) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible != nullptr ? accessible->text(text) : QString();
}

// Every control the layout names is announced by that name, a value shown in a label with the
// value as its description, a drop-down's text field by the drop-down's name, and every group box
// by its caption.
inline void CheckAccessibleNames(const QWidget& window, const FormLayout& layout) {
    for (const AccessibleName& a : layout.accessibleNames) {
        QWidget* widget = window.findChild<QWidget*>(ToQString(a.control));
        QVERIFY2(widget != nullptr, a.control.data());
        QCOMPARE(AccessibleText(widget), ToQString(a.name));
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            QCOMPARE(AccessibleText(widget, QAccessible::Description), label->text());
        }
        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            QCOMPARE(AccessibleText(combo->lineEdit()), ToQString(a.name));
        }
    }
    for (const ControlLayout& c : layout.controls) {
        if (c.kind != ControlKind::Frame) continue;
        QCOMPARE(AccessibleText(window.findChild<QWidget*>(ToQString(c.name))), ToQString(c.text));
    }
}

}  // namespace taviro::test_support
