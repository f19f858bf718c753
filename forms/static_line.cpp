#include "forms/static_line.h"

#include <QPainter>

namespace taviro {

StaticLine::StaticLine(QPoint from, QPoint to, Qt::PenStyle style, QWidget* parent)
    : QWidget(parent), style_(style) {
    const QRect bounds = QRect(from, to).normalized();
    setGeometry(bounds);
    from_ = from - bounds.topLeft();
    to_ = to - bounds.topLeft();
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void StaticLine::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QPen pen(palette().color(QPalette::WindowText), 0, style_);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.drawLine(from_, to_);
}

}  // namespace taviro
