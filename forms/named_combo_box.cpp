#include "forms/named_combo_box.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QLineEdit>

namespace taviro {

namespace {

class AccessibleNamedComboBox final : public QAccessibleWidget {
  public:
    explicit AccessibleNamedComboBox(QComboBox* combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && !widget()->accessibleName().isEmpty()) {
            return widget()->accessibleName();
        }
        if (t == QAccessible::Value) return Combo()->currentText();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = Combo()->isEditable();
        s.expandable = true;
        s.expanded = Combo()->view()->isVisible();
        return s;
    }

    QStringList actionNames() const override {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == showMenuAction()) {
            Combo()->showPopup();
        } else {
            QAccessibleWidget::doAction(action);
        }
    }

  private:
    QComboBox* Combo() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* NamedComboBoxFactory(const QString& className, QObject* object) {
    if (className == QLatin1String(NamedComboBox::staticMetaObject.className())) {
        return new AccessibleNamedComboBox(static_cast<NamedComboBox*>(object));
    }
    return nullptr;
}

}  // namespace

NamedComboBox::NamedComboBox(QWidget* parent) : QComboBox(parent) {
    static const bool registered = (QAccessible::installFactory(NamedComboBoxFactory), true);
    (void)registered;
}

}  // namespace taviro
