#include "estimate_window/chart_view.h"

#include <QPainter>
#include <utility>

namespace taviro {

namespace {

// How much of the window's colour lies over a greyed chart.
constexpr int kPaleAlpha = 170;

}  // namespace

ChartView::ChartView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChartView::SetDrawing(Drawing drawing) {
    drawing_ = std::move(drawing);
    update();
}

void ChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (drawing_) {
        painter.save();
        drawing_(painter, rect());
        painter.restore();
    }
    if (!isEnabled()) {
        QColor pale = palette().color(QPalette::Window);
        pale.setAlpha(kPaleAlpha);
        painter.fillRect(rect(), pale);
    }
}

}  // namespace taviro
