// Puts a drawing of stats/ down with a QPainter, scaled into a rectangle: a picture file and a
// window draw the same marks with the same colours and fonts.
#pragma once

#include <QColor>
#include <QPainter>
#include <QRectF>
#include <QString>

#include "chart_layout/drawing.h"
#include "chart_layout/ink_colours.h"

namespace taviro::charts {

// Draws `drawing` into `target`, scaled alike both ways and centred where the shapes differ.
void PaintDrawing(QPainter& painter, const stats::Drawing& drawing, const QRectF& target);

// The colour of each ink (chart_layout/ink_colours.h) for Qt.
QColor InkColour(stats::Ink ink);

// The charts' Japanese font: IPA P Gothic or another proportional Japanese Gothic where one is
// installed; empty for the system's own Japanese fallback.
QString ChartFontFamily();

}  // namespace taviro::charts
