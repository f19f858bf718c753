#include "graph_window.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

#include "app_setup.h"
#include "graph_form_layout.h"
#include "slump_curve.h"

namespace taviro {

namespace {

// A point in twips as the pixel it falls into; huge values are held far outside the surface, so
// the painter clips them like any other off-screen point.
QPoint ToPixel(CurvePoint p) {
    constexpr float kFar = 1e6f;
    const float x = std::clamp(p.x / kTwipsPerPixel, -kFar, kFar);
    const float y = std::clamp(p.y / kTwipsPerPixel, -kFar, kFar);
    return {static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))};
}

}  // namespace

GraphWindow::GraphWindow(GraphHost& host) : host_(host) {
    setAttribute(Qt::WA_DeleteOnClose);  // closing discards the window with its contents
    // The axis values have 25 pixels for four digits: the window may get a smaller font.
    controls_ = BuildForm(*this, GraphFormLayout(), true);
    setWindowIcon(ProgramIcon());
    surface_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    surface_.fill(Qt::transparent);

    auto* rate = qobject_cast<QComboBox*>(Control(QStringLiteral("TexKankin")));
    connect(rate->lineEdit(), &QLineEdit::textEdited, this, [this] { host_.Kekka(); });
    connect(rate, &QComboBox::activated, this, [this] { host_.Kekka(); });
    connect(qobject_cast<QAbstractButton*>(Control(QStringLiteral("Comonemore"))),
            &QAbstractButton::clicked, this, [this] {
                host_.Comstart_Click();
                host_.ComG_Click();
            });
    Control(QStringLiteral("Comonemore"))->setFocus();
}

void GraphWindow::ClearCurve() {
    surface_.fill(Qt::transparent);
    update();
}

void GraphWindow::DrawCurve(const SimulationState& s) {
    QPainter painter(&surface_);
    painter.setPen(QPen(Qt::black, 0));
    painter.setRenderHint(QPainter::Antialiasing, false);
    ForEachVisibleSegment(s, GraphFormLayout().clientWidth, [&](CurvePoint from, CurvePoint to) {
        painter.drawLine(ToPixel(from), ToPixel(to));
    });
    update();
}

void GraphWindow::ShowSummary(const MoneySummary& summary) {
    controls_.SetText(QStringLiteral("LabMin"), QString::fromStdString(summary.investment));
    controls_.SetText(QStringLiteral("LabOUT"), QString::fromStdString(summary.finalCoins));
    if (summary.netResult) {
        controls_.SetText(QStringLiteral("LabPlus"), QString::fromStdString(*summary.netResult));
    }
}

void GraphWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.drawImage(event->rect(), surface_, event->rect());
}

void GraphWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) host_.ComG_Click();
}

}  // namespace taviro
