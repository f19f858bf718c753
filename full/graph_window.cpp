#include "full/graph_window.h"

#include <QActionGroup>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <algorithm>
#include <cmath>

#include "core/fitted_curve.h"
#include "core/graph_description.h"
#include "core/slump_curve.h"
#include "forms/app_setup.h"
#include "forms/static_line.h"
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

QRect ToRect(PlotTwips plot) {
    return QRect(QPoint(Pixels(plot.left), Pixels(plot.top)),
                 QPoint(Pixels(plot.right), Pixels(plot.bottom)));
}

// The image pixels that the logical pixels of `plot` cover at `ratio` image pixels each.
PixelRect ImageRect(const QRect& plot, qreal ratio) {
    auto floor = [](qreal v) { return static_cast<int>(std::floor(v)); };
    return {floor(plot.left() * ratio), floor(plot.top() * ratio),
            floor((plot.right() + 1) * ratio) - 1, floor((plot.bottom() + 1) * ratio) - 1};
}

// One device pixel wide, at any pixel density.
QPen CurvePen() {
    QPen pen(Qt::black, 0);
    pen.setCosmetic(true);
    return pen;
}

constexpr int kLabelGap = 3;  // pixels between an axis label and the plot area

}  // namespace

GraphWindow::GraphWindow(MessageBox& messages, ImageFileDialog& files)
    : messages_(messages),
      files_(files),
      // The axis values have 25 pixels for four digits: the window may get a smaller font.
      controls_(BuildForm(*this, GraphFormLayout(), true)),
      rate_(controls_.Require<QComboBox>(QStringLiteral("TexKankin"))),
      rerun_(controls_.Require<QPushButton>(QStringLiteral("Comonemore"))),
      investment_(controls_.Require<QLabel>(QStringLiteral("LabMin"))),
      finalCoins_(controls_.Require<QLabel>(QStringLiteral("LabOUT"))),
      netResult_(controls_.Require<QLabel>(QStringLiteral("LabPlus"))),
      menu_(new QMenu(this)) {
    setAttribute(Qt::WA_DeleteOnClose);  // closing discards the window with its contents
    setWindowIcon(ProgramIcon());
    const qreal ratio = devicePixelRatioF();
    surface_ = QImage(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    surface_.setDevicePixelRatio(ratio);
    surface_.fill(Qt::transparent);
    for (const char* name : {"Label1", "Label2", "Label4", "Line1", "Line2", "Line3"}) {
        const auto axes = findChildren<QWidget*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
        designedAxes_.insert(designedAxes_.end(), axes.begin(), axes.end());
    }

    auto* scales = new QActionGroup(menu_);
    const std::pair<const char*, GraphScale> choices[] = {{"全体を表示", GraphScale::Fitted},
                                                          {"標準の目盛り", GraphScale::Designed}};
    for (const auto& [text, scale] : choices) {
        QAction* action = scales->addAction(QString::fromUtf8(text));
        action->setCheckable(true);
        action->setChecked(scale == scale_);
        connect(action, &QAction::triggered, this, [this, scale = scale] {
            scale_ = scale;
            emit ScaleChosen();
        });
    }
    menu_->addActions(scales->actions());
    menu_->addSeparator();
    connect(menu_->addAction(QStringLiteral("画像を保存...")), &QAction::triggered, this,
            &GraphWindow::SaveImage);

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
    if (fittedAxes_ != nullptr) ShowFittedAxes(nullptr);  // its labels were the erased run's
    setAccessibleDescription(ToQString(kEmptyGraphDescription));
    update();
}

void GraphWindow::DrawCurve(const SimulationState& s) {
    if (scale_ == GraphScale::Fitted) {
        DrawFittedCurve(s);
    } else {
        DrawDesignedCurve(s);
    }
    update();
}

void GraphWindow::DrawDesignedCurve(const SimulationState& s) {
    ShowDesignedAxes();
    QPainter painter(&surface_);
    painter.setPen(CurvePen());
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setClipRect(PlotArea());
    ForEachVisibleSegment(s, kDesignedPlot.right, [&](CurvePoint from, CurvePoint to) {
        painter.drawLine(ToPixel(from), ToPixel(to));
    });
    const std::int64_t shown = std::int64_t{kDesignedPlot.right} - s.GraphX0;
    setAccessibleDescription(QString::fromStdString(GraphDescription(s, shown)));
}

void GraphWindow::DrawFittedCurve(const SimulationState& s) {
    const std::int64_t games =
        std::min<std::int64_t>(s.GameCount, static_cast<std::int64_t>(s.History.Size()) - 1);
    if (games < 1) {
        ShowFittedAxes(nullptr);
        return;
    }
    const BalanceExtent extent = s.History.Of(0, games);
    const QRect plot = ToRect(kFittedPlot);
    const FittedScale grid(games, extent, {plot.left(), plot.top(), plot.right(), plot.bottom()});
    ShowFittedAxes(&grid);

    // The strokes are in the image's own pixels.
    const qreal ratio = surface_.devicePixelRatio();
    const FittedScale image(games, extent, ImageRect(plot, ratio));
    const std::vector<Stroke> strokes = FittedStrokes(s.History, image);
    surface_.setDevicePixelRatio(1);
    {
        QPainter painter(&surface_);
        painter.setPen(CurvePen());
        painter.setRenderHint(QPainter::Antialiasing, false);
        for (const Stroke& stroke : strokes) {
            const QPoint from(stroke.from.x, stroke.from.y);
            const QPoint to(stroke.to.x, stroke.to.y);
            if (from.x() == to.x()) {
                painter.fillRect(QRect(from, to).normalized(), Qt::black);
            } else {
                painter.drawLine(from, to);
            }
        }
    }
    surface_.setDevicePixelRatio(ratio);
    setAccessibleDescription(QString::fromStdString(FittedGraphDescription(s, extent.high)));
}

void GraphWindow::ShowDesignedAxes() {
    delete fittedAxes_;
    fittedAxes_ = nullptr;
    for (QWidget* w : designedAxes_) w->show();
}

void GraphWindow::ShowFittedAxes(const FittedScale* scale) {
    for (QWidget* w : designedAxes_) w->hide();
    delete fittedAxes_;
    fittedAxes_ = new QWidget(this);
    fittedAxes_->setGeometry(rect());
    fittedAxes_->setAttribute(Qt::WA_TransparentForMouseEvents);
    const QRect plot = ToRect(kFittedPlot);
    auto addLine = [this](QPoint from, QPoint to, Qt::PenStyle style) {
        new StaticLine(from, to, style, fittedAxes_);
    };
    auto addLabel = [this](const QString& text) {
        auto* label = new QLabel(text, fittedAxes_);
        label->adjustSize();
        return label;
    };
    addLine(plot.topLeft(), plot.bottomLeft(), Qt::SolidLine);  // game 0
    const int rowHeight = fontMetrics().height();
    if (scale != nullptr) {
        for (const AxisMark& mark : BalanceMarks(*scale)) {
            addLine({plot.left(), mark.position}, {plot.right(), mark.position},
                    mark.zero ? Qt::SolidLine : Qt::DashLine);
            QLabel* label = addLabel(QString::fromStdString(mark.text));
            label->move(plot.left() - kLabelGap - label->width(),
                        mark.position - label->height() / 2);
        }
        for (const AxisMark& mark : GameMarks(*scale)) {
            addLine({mark.position, plot.top()}, {mark.position, plot.bottom()}, Qt::DashLine);
            QLabel* label = addLabel(QString::fromStdString(mark.text));
            label->move(std::min(mark.position - label->width() / 2, width() - label->width()),
                        plot.bottom() + kLabelGap);
        }
    }
    QLabel* title = addLabel(Text(QStringLiteral("Label4")));  // プレイ数
    title->move(plot.right() - title->width(), plot.bottom() + kLabelGap + rowHeight);
    fittedAxes_->show();
}

QRect GraphWindow::PlotArea() const {
    return ToRect(fittedAxes_ != nullptr ? kFittedPlot : kDesignedPlot);
}

void GraphWindow::SaveImage() {
    SaveWindowPicture(*this, this, QStringLiteral("スランプグラフ.png"), files_, messages_);
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

void GraphWindow::contextMenuEvent(QContextMenuEvent* event) {
    menu_->popup(event->globalPos());
}

}  // namespace taviro
