// The slump graph window `GRPH`: the grid, the curve of the last drawing, the money summary
// labels, the exchange rate and the re-run button. It holds no run of its own: it announces what
// the user did, and the main window decides what follows. Escape closes it. For screen readers its
// surface carries a description of the curve drawn.
#pragma once

#include <QImage>
#include <QWidget>

#include "core/money_summary.h"
#include "core/simulation_state.h"
#include "forms/form_builder.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace taviro {

class GraphWindow final : public QWidget {
    Q_OBJECT

  public:
    GraphWindow();

    // Erases the curve; the controls and the grid stay.
    void ClearCurve();
    // Draws one black one-pixel segment per game of the run into the window's surface, and
    // describes the curve.
    void DrawCurve(const SimulationState& s);

    QString RateText() const;
    void ShowSummary(const MoneySummary& summary);

    // A control by its designed name, for tests.
    QWidget* Control(const QString& control) const { return controls_.Find(control); }
    QString Text(const QString& control) const { return ControlText(Control(control)); }
    const QImage& Surface() const { return surface_; }

  signals:
    void RateEdited();      // TexKankin_Change and TexKankin_Click
    void RerunRequested();  // Comonemore_Click
    void SurfaceClicked();  // Form_Click

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    FormControls controls_;
    QComboBox* rate_;     // TexKankin
    QPushButton* rerun_;  // Comonemore
    QLabel* investment_;  // LabMin
    QLabel* finalCoins_;  // LabOUT
    QLabel* netResult_;   // LabPlus
    // The drawn curve at the screen's pixel density, kept so that it survives being covered or
    // minimised; painted in logical pixels.
    QImage surface_;
};

}  // namespace taviro
