// The slump graph window `GRPH`: the grid, the curve of the last drawing, the money summary
// labels, the exchange rate and the re-run button.
#pragma once

#include <QImage>
#include <QWidget>

#include "form_builder.h"
#include "graph_host.h"
#include "money_summary.h"
#include "simulation_state.h"

namespace taviro {

class GraphWindow final : public QWidget {
  public:
    explicit GraphWindow(GraphHost& host);

    // Erases the curve; the controls and the grid stay.
    void ClearCurve();
    // Draws one black one-pixel segment per game of the run into the window's surface.
    void DrawCurve(const SimulationState& s);

    QString RateText() const { return controls_.Text(QStringLiteral("TexKankin")); }
    void ShowSummary(const MoneySummary& summary);
    QString Text(const QString& control) const { return controls_.Text(control); }
    QWidget* Control(const QString& control) const { return controls_.Find(control); }
    const QImage& Surface() const { return surface_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;  // Form_Click

  private:
    GraphHost& host_;
    FormControls controls_;
    QImage surface_;  // the drawn curve, kept so that it survives being covered or minimised
};

}  // namespace taviro
