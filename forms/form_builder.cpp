#include "forms/form_builder.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "forms/named_combo_box.h"
#include "forms/static_line.h"

namespace taviro {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

namespace {

constexpr double kSmallestPointSize = 6;

QString KeyOf(const ControlLayout& c) {
    const QString name = ToQString(c.name);
    return c.index < 0 ? name : QStringLiteral("%1(%2)").arg(name).arg(c.index);
}

QWidget* Create(const ControlLayout& c, QWidget* parent) {
    const QString text = ToQString(c.text);
    switch (c.kind) {
        case ControlKind::Frame: {
            auto* frame = new QGroupBox(text, parent);
            frame->setAccessibleName(text);  // its own title, also inside another group box
            return frame;
        }
        case ControlKind::Label:
        case ControlKind::FitLabel: {
            auto* label = new QLabel(text, parent);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return label;
        }
        case ControlKind::TextField: {
            auto* edit = new QLineEdit(text, parent);
            edit->setCursorPosition(0);
            return edit;
        }
        case ControlKind::ComboBox: {
            auto* combo = new NamedComboBox(parent);
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->addItems(ToQString(c.items).split(u'|'));
            combo->setEditText(text);
            return combo;
        }
        case ControlKind::Button: {
            auto* button = new QPushButton(text, parent);
            button->setAutoDefault(true);  // Enter clicks the focused button
            return button;
        }
        case ControlKind::DottedLine:
        case ControlKind::DashedLine:
        case ControlKind::SolidLine: {
            const Qt::PenStyle style = c.kind == ControlKind::DottedLine   ? Qt::DotLine
                                       : c.kind == ControlKind::DashedLine ? Qt::DashLine
                                                                           : Qt::SolidLine;
            return new StaticLine(QPoint(Pixels(c.left), Pixels(c.top)),
                                  QPoint(Pixels(c.width), Pixels(c.height)), style, parent);
        }
    }
    return nullptr;
}

// The largest point size from `largest` down, in steps of half a point and to `smallest` at least,
// at which every fixed-size caption of `layout` fits its width in `font`'s family.
double LargestFittingPointSize(const QFont& font, const FormLayout& layout, double largest,
                               double smallest) {
    QFont trial = font;
    double size = largest;
    for (; size > smallest; size -= 0.5) {
        trial.setPointSizeF(size);
        const QFontMetrics metrics(trial);
        const bool fits = std::all_of(
            layout.controls.begin(), layout.controls.end(), [&](const ControlLayout& c) {
                return c.kind != ControlKind::Label ||
                       metrics.horizontalAdvance(ToQString(c.text)) <= Pixels(c.width);
            });
        if (fits) break;
    }
    return std::max(size, smallest);
}

}  // namespace

QString ControlText(const QWidget* control) {
    if (auto* edit = qobject_cast<const QLineEdit*>(control)) return edit->text();
    if (auto* combo = qobject_cast<const QComboBox*>(control)) return combo->currentText();
    if (auto* label = qobject_cast<const QLabel*>(control)) return label->text();
    return {};
}

void SetControlText(QWidget* control, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(text);
        edit->setCursorPosition(0);  // show the start of a text longer than the field
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        combo->setEditText(text);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(text);
        if (label->property("fitsText").toBool()) label->adjustSize();
        // A value with a name of its own is told by that name, the value as its description.
        if (!label->accessibleName().isEmpty()) label->setAccessibleDescription(text);
    }
}

FormControls BuildForm(QWidget& window, const FormLayout& layout, bool fullEdition) {
    FormControls controls;
    window.setObjectName(ToQString(layout.name));
    window.setWindowTitle(ToQString(layout.caption));
    window.setFixedSize(Pixels(layout.clientWidth), Pixels(layout.clientHeight));
    QFont font = window.font();
    const double fitting =
        LargestFittingPointSize(font, layout, font.pointSizeF(), kSmallestPointSize);
    if (fitting < font.pointSizeF()) {
        font.setPointSizeF(fitting);
        window.setFont(font);
    }
    for (const ControlLayout& c : layout.controls) {
        if (c.fullEditionOnly && !fullEdition) continue;
        QWidget* parent = &window;
        if (!c.parent.empty()) {
            // A control listed before its group box would otherwise become a window of its own.
            parent = controls.Find(ToQString(c.parent));
            if (parent == nullptr) {
                throw std::logic_error("control " + std::string(c.name) +
                                       " comes before its group box " + std::string(c.parent));
            }
        }
        QWidget* w = Create(c, parent);
        w->setObjectName(ToQString(c.name));
        if (c.index >= 0) w->setProperty("index", c.index);
        const bool isLine = c.kind == ControlKind::DottedLine ||
                            c.kind == ControlKind::DashedLine || c.kind == ControlKind::SolidLine;
        if (!isLine)
            w->setGeometry(Pixels(c.left), Pixels(c.top), Pixels(c.width), Pixels(c.height));
        if (c.kind == ControlKind::FitLabel) {
            w->setProperty("fitsText", true);
            if (!c.text.empty()) w->adjustSize();
        }
        controls.Add(KeyOf(c), w);
    }
    for (const AccessibleName& a : layout.accessibleNames) {
        const bool listed =
            std::any_of(layout.controls.begin(), layout.controls.end(),
                        [&](const ControlLayout& c) { return c.name == a.control; });
        if (!listed) {
            throw std::logic_error("accessible name for an unknown control " +
                                   std::string(a.control));
        }
        QWidget* w = controls.Find(ToQString(a.control));
        if (w == nullptr) continue;  // left out of this edition
        w->setAccessibleName(ToQString(a.name));
        if (auto* label = qobject_cast<QLabel*>(w)) label->setAccessibleDescription(label->text());
        // The text field of a drop-down is a control of its own to a screen reader.
        if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->lineEdit())
            combo->lineEdit()->setAccessibleName(ToQString(a.name));
    }
    QWidget* previous = nullptr;
    for (std::string_view name : layout.focusOrder) {
        QWidget* w = controls.Find(ToQString(name));
        if (w == nullptr) continue;  // left out of this edition
        if (previous != nullptr) QWidget::setTabOrder(previous, w);
        previous = w;
    }
    return controls;
}

}  // namespace taviro
