#include "full/graph_window.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>

#include "core/slump_curve.h"
#include "forms/app_setup.h"
#include "full/graph_description.h"
#include "full/graph_form_layout.h"

namespace taviro {

namespace {

// A point in twips as the logical pixel it falls into; huge values are held far outside the
// surface, so the painter clips them like any other off-screen point.
QPoint ToPixel(CurvePoint p) {
    constexpr float kFar = 1e6f;
    const float x = std::clamp(p.x / kTwipsPerPixel, -kFar, kFar);
    const float y = std::clamp(p.y / kTwipsPerPixel, -kFar, kFar);
    return {static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))};
}

}  // namespace

GraphWindow::GraphWindow()
    // The axis values have 25 pixels for four digits: the window may get a smaller font.
    : controls_(BuildForm(*this, GraphFormLayout(), true)),
      rate_(controls_.Require<QComboBox>(QStringLiteral("TexKankin"))),
      rerun_(controls_.Require<QPushButton>(QStringLiteral("Comonemore"))),
      investment_(controls_.Require<QLabel>(QStringLiteral("LabMin"))),
      finalCoins_(controls_.Require<QLabel>(QStringLiteral("LabOUT"))),
      netResult_(controls_.Require<QLabel>(QStringLiteral("LabPlus"))) {
    setAttribute(Qt::WA_DeleteOnClose);  // closing discards the window with its contents
    setWindowIcon(ProgramIcon());
    const qreal ratio = devicePixelRatioF();
    surface_ = QImage(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    surface_.setDevicePixelRatio(ratio);
    surface_.fill(Qt::transparent);

    connect(rate_->lineEdit(), &QLineEdit::textEdited, this, &GraphWindow::RateEdited);
    connect(rate_, &QComboBox::activated, this, &GraphWindow::RateEdited);
    connect(rerun_, &QPushButton::clicked, this, &GraphWindow::RerunRequested);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &GraphWindow::close);
    rerun_->setFocus();
    setAccessibleDescription(ToQString(kEmptyGraphDescription));
}

void GraphWindow::ClearCurve() {
    surface_.fill(Qt::transparent);
    setAccessibleDescription(ToQString(kEmptyGraphDescription));
    update();
}

void GraphWindow::DrawCurve(const SimulationState& s) {
    QPainter painter(&surface_);
    // One device pixel wide, at any pixel density.
    QPen pen(Qt::black, 0);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.setRenderHint(QPainter::Antialiasing, false);
    ForEachVisibleSegment(s, GraphFormLayout().clientWidth, [&](CurvePoint from, CurvePoint to) {
        painter.drawLine(ToPixel(from), ToPixel(to));
    });
    setAccessibleDescription(QString::fromStdString(GraphDescription(s)));
    update();
}

QString GraphWindow::RateText() const {
    return rate_->currentText();
}

void GraphWindow::ShowSummary(const MoneySummary& summary) {
    SetControlText(investment_, QString::fromStdString(summary.investment));
    SetControlText(finalCoins_, QString::fromStdString(summary.finalCoins));
    if (summary.netResult) SetControlText(netResult_, QString::fromStdString(*summary.netResult));
}

void GraphWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // The source rectangle is in the image's own (device) pixels.
    const QRectF dirty = event->rect();
    const qreal ratio = surface_.devicePixelRatio();
    painter.drawImage(dirty, surface_, QRectF(dirty.topLeft() * ratio, dirty.size() * ratio));
}

void GraphWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit SurfaceClicked();
}

}  // namespace taviro
