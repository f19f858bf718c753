#pragma once

#include <QWidget>

namespace taviro {

// A static line between two points, one pixel wide, in the window text colour. It covers the
// rectangle between its end points and lets clicks through to the window beneath.
class StaticLine final : public QWidget {
  public:
    StaticLine(QPoint from, QPoint to, Qt::PenStyle style, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPoint from_;  // relative to the widget
    QPoint to_;
    Qt::PenStyle style_;
};

}  // namespace taviro
