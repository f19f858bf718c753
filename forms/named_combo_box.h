// A drop-down that a screen reader announces by its accessible name (its caption), with its text
// as the value. Qt's own interface for a drop-down names it by its current text on Linux.
#pragma once

#include <QComboBox>

namespace taviro {

class NamedComboBox final : public QComboBox {
    Q_OBJECT

  public:
    // Registers the accessible interface on first use.
    explicit NamedComboBox(QWidget* parent);
};

}  // namespace taviro
