// Creates the widgets of a window from its description.
#pragma once

#include <QHash>
#include <QString>
#include <QWidget>

#include "form_layout.h"

namespace taviro {

// The controls of a built window by name (members of a control array by "name(index)").
class FormControls {
  public:
    QWidget* Find(const QString& name) const { return byName_.value(name); }
    void Add(const QString& name, QWidget* widget) { byName_.insert(name, widget); }

    // The text of a text field or drop-down, or the caption of a label.
    QString Text(const QString& name) const;
    // Sets it; a label that fits its text resizes itself.
    void SetText(const QString& name, const QString& text) const;

  private:
    QHash<QString, QWidget*> byName_;
};

// Builds the controls of `layout` on `window`, sizes the window's client area and sets its caption
// and focus order. When a fixed-size caption would not fit in the window's font, the window takes
// the largest smaller size at which all of them fit. With `fullEdition` false, the controls marked
// for the full edition are left out.
FormControls BuildForm(QWidget& window, const FormLayout& layout, bool fullEdition);

// Twips to pixels at 96 dots per inch.
inline int Pixels(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

QString ToQString(std::string_view text);

}  // namespace taviro
