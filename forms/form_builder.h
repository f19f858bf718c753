// Creates the widgets of a window from its layout table.
#pragma once

#include <QHash>
#include <QString>
#include <QWidget>
#include <stdexcept>

#include "forms/form_layout.h"

namespace taviro {

// The controls of a built window by name (members of a control array by "name(index)").
class FormControls {
  public:
    QWidget* Find(const QString& name) const { return byName_.value(name); }
    void Add(const QString& name, QWidget* widget) { byName_.insert(name, widget); }

    // The control of that name and type; throws std::logic_error when the layout has none, so that
    // a window resolves its controls once, at construction, and a misspelt name cannot go unseen.
    template <class T>
    T* Require(const QString& name) const {
        T* control = qobject_cast<T*>(Find(name));
        if (control == nullptr) {
            throw std::logic_error("no control " + name.toStdString() + " of the expected kind");
        }
        return control;
    }

  private:
    QHash<QString, QWidget*> byName_;
};

// The text of a text field or drop-down, or the caption of a label.
QString ControlText(const QWidget* control);
// Sets it; a text field shows the start of its text, a label that fits its text resizes itself, and
// a label with an accessible name gives its new text to a screen reader as its description.
void SetControlText(QWidget* control, const QString& text);

// Builds the controls of `layout` on `window`, sizes the window's client area and sets its caption,
// focus order and accessible names. When a fixed-size caption would not fit in the window's font,
// the window takes the largest smaller size at which all of them fit. With `fullEdition` false, the
// controls marked for the full edition are left out. Push buttons click on Enter as on Space.
// Throws std::logic_error when a control names a group box that the table has not built before it,
// or an accessible name names no control of the table.
FormControls BuildForm(QWidget& window, const FormLayout& layout, bool fullEdition);

// Twips to pixels at 96 dots per inch.
inline int Pixels(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

QString ToQString(std::string_view text);

}  // namespace taviro
