#include "charts/drawing_painter.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <algorithm>
#include <type_traits>

namespace taviro::charts {

namespace {

QPolygonF Polygon(const std::vector<stats::Point>& points) {
    QPolygonF polygon;
    polygon.reserve(static_cast<qsizetype>(points.size()));
    for (const stats::Point& p : points) polygon << QPointF(p.x, p.y);
    return polygon;
}

// The top left of a text box of `size` whose `anchor` point lies on `at`.
QPointF BoxCorner(stats::Anchor anchor, QPointF at, QSizeF size) {
    using stats::Anchor;
    double x = at.x(), y = at.y();
    switch (anchor) {
        case Anchor::Top:
        case Anchor::Center:
        case Anchor::Bottom:
            x -= size.width() / 2;
            break;
        case Anchor::TopRight:
        case Anchor::Right:
        case Anchor::BottomRight:
            x -= size.width();
            break;
        default:
            break;
    }
    switch (anchor) {
        case Anchor::Left:
        case Anchor::Center:
        case Anchor::Right:
            y -= size.height() / 2;
            break;
        case Anchor::BottomLeft:
        case Anchor::Bottom:
        case Anchor::BottomRight:
            y -= size.height();
            break;
        default:
            break;
    }
    return {x, y};
}

void Paint(QPainter& painter, const stats::Area& area) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(InkColour(area.ink));
    painter.drawPolygon(Polygon(area.outline));
}

void Paint(QPainter& painter, const stats::Line& line) {
    QPen pen(InkColour(line.ink), line.width, line.dashed ? Qt::DashLine : Qt::SolidLine,
             Qt::FlatCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(Polygon(line.points));
}

void Paint(QPainter& painter, const stats::Caption& caption, const QString& family) {
    QFont font(family);
    font.setPixelSize(std::max(1, static_cast<int>(caption.size + 0.5)));
    font.setBold(caption.bold);
    const QString text = QString::fromStdString(caption.text);
    const QFontMetricsF metrics(font);
    const QSizeF size(metrics.horizontalAdvance(text), metrics.height());
    painter.save();
    painter.translate(caption.at.x, caption.at.y);
    if (caption.upright) painter.rotate(-90);
    const QPointF corner = BoxCorner(caption.anchor, {0, 0}, size);
    painter.setFont(font);
    painter.setPen(InkColour(caption.ink));
    painter.drawText(QPointF(corner.x(), corner.y() + metrics.ascent()), text);
    painter.restore();
}

}  // namespace

void PaintDrawing(QPainter& painter, const stats::Drawing& drawing, const QRectF& target) {
    if (drawing.width <= 0 || drawing.height <= 0) return;
    const double scale = std::min(target.width() / drawing.width, target.height() / drawing.height);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(target.left() + (target.width() - drawing.width * scale) / 2,
                      target.top() + (target.height() - drawing.height * scale) / 2);
    painter.scale(scale, scale);
    painter.fillRect(QRectF(0, 0, drawing.width, drawing.height), Qt::white);
    const QString family = ChartFontFamily();
    for (const stats::Mark& mark : drawing.marks) {
        std::visit(
            [&](const auto& m) {
                if constexpr (std::is_same_v<std::decay_t<decltype(m)>, stats::Caption>) {
                    Paint(painter, m, family);
                } else {
                    Paint(painter, m);
                }
            },
            mark);
    }
    painter.restore();
}

QColor InkColour(stats::Ink ink) {
    const stats::Rgba c = stats::InkRgba(ink);
    return QColor(c.red, c.green, c.blue, c.alpha);
}

QString ChartFontFamily() {
    // Proportional kana first, as in the windows.
    static const QString family = [] {
        const QStringList installed = QFontDatabase::families();
        for (const char* name :
             {"IPAPGothic", "IPAexGothic", "VL PGothic", "Noto Sans CJK JP", "IPAGothic"}) {
            if (installed.contains(QString::fromLatin1(name))) return QString::fromLatin1(name);
        }
        return QString();
    }();
    return family;
}

}  // namespace taviro::charts
