// A chart of the estimate window: paints itself through a drawing function into its whole
// rectangle, on a white ground, and pales when the window greys its answer.
#pragma once

#include <QWidget>
#include <functional>

namespace taviro {

class ChartView final : public QWidget {
    Q_OBJECT

  public:
    using Drawing = std::function<void(QPainter&, const QRect&)>;

    explicit ChartView(QWidget* parent);
    // Draws with `drawing` from now on (none: the white ground only).
    void SetDrawing(Drawing drawing);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Drawing drawing_;
};

}  // namespace taviro
