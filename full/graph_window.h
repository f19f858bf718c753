// The slump graph window `GRPH`: the grid, the curve of the last drawing, the money summary
// labels, the exchange rate and the re-run button. It holds no run of its own: it announces what
// the user did, and the main window decides what follows. Its context menu chooses the scale,
// the designed grid or the whole run fitted, and saves the picture. Escape closes it. For screen
// readers its surface carries a description of the curve drawn.
#pragma once

#include <QImage>
#include <QWidget>
#include <vector>

#include "core/message_box.h"
#include "core/money_summary.h"
#include "core/simulation_state.h"
#include "forms/form_builder.h"
#include "forms/image_file_dialog.h"

class QComboBox;
class QLabel;
class QMenu;
class QPushButton;

namespace taviro {

class FittedScale;

enum class GraphScale {
    Designed,  // the fixed grid of games 0 to 10000; the default
    Fitted,    // the whole run, its lowest to its highest balance
};

class GraphWindow final : public QWidget {
    Q_OBJECT

  public:
    // Failures to save the picture are shown in `messages`; `files` asks where to save it.
    GraphWindow(MessageBox& messages, ImageFileDialog& files);

    // Erases the curve; the controls and the grid stay (the labels of a fitted grid go with it).
    void ClearCurve();
    // Draws the curve of the run at the chosen scale into the window's surface, inside its plot
    // area, and describes it. The fitted scale reads the extents of the history's blocks of games,
    // so that a long run draws in about the time of its pixel columns.
    void DrawCurve(const SimulationState& s);

    GraphScale Scale() const { return scale_; }
    // Asks for a file name and writes the window as it looks as a PNG picture there.
    void SaveImage();

    QString RateText() const;
    void ShowSummary(const MoneySummary& summary);

    // A control by its designed name, for tests.
    QWidget* Control(const QString& control) const { return controls_.Find(control); }
    QString Text(const QString& control) const { return ControlText(Control(control)); }
    const QImage& Surface() const { return surface_; }
    QMenu* ContextMenu() const { return menu_; }
    // Where the curve may draw at the scale the grid shows, in logical pixels.
    QRect PlotArea() const;

  signals:
    void RateEdited();      // TexKankin_Change and TexKankin_Click
    void RerunRequested();  // Comonemore_Click
    void SurfaceClicked();  // Form_Click
    void ScaleChosen();     // a scale picked from the context menu, for the next drawing

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void DrawDesignedCurve(const SimulationState& s);
    void DrawFittedCurve(const SimulationState& s);
    void ShowDesignedAxes();
    // The axes of the fitted scale, with the grid and labels of `scale` if there is one.
    void ShowFittedAxes(const FittedScale* scale);

    MessageBox& messages_;
    ImageFileDialog& files_;
    FormControls controls_;
    QComboBox* rate_;     // TexKankin
    QPushButton* rerun_;  // Comonemore
    QLabel* investment_;  // LabMin
    QLabel* finalCoins_;  // LabOUT
    QLabel* netResult_;   // LabPlus
    QMenu* menu_;
    GraphScale scale_ = GraphScale::Designed;
    // The designed grid, its axis values and titles; hidden while the fitted axes show.
    std::vector<QWidget*> designedAxes_;
    QWidget* fittedAxes_ = nullptr;  // the fitted grid and labels, when shown
    // The drawn curve at the screen's pixel density, kept so that it survives being covered or
    // minimised; painted in logical pixels.
    QImage surface_;
};

}  // namespace taviro
