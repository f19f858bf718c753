// The window of Taviro_estimate. On the left the counts a player read off the machine, the prior
// and the games still to play; on the right the answer for them: the six settings' probabilities,
// the key figures, and what the next games are worth. There is no start button: a short pause
// after the last keystroke the fields are read (estimate_view) and the estimate starts on its own
// thread (LiveEstimate), stopping the one before. Fields that cannot be read say why beneath
// themselves, and the last answer stays, greyed, under the counts it belongs to. Escape closes.
#pragma once

#include <QTimer>
#include <QWidget>
#include <array>
#include <optional>

#include "core/message_box.h"
#include "estimation/estimate_view.h"
#include "estimate_window/live_estimate.h"
#include "forms/image_file_dialog.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace taviro {

class ChartView;

class EstimateWindow final : public QWidget {
    Q_OBJECT

  public:
    // `threads` work on each estimate, which `estimator` works out; failures to save the picture
    // are shown in `messages`, and `files` asks where to save it.
    EstimateWindow(MessageBox& messages, ImageFileDialog& files, unsigned threads,
                   LiveEstimate::Estimator estimator = stats::Estimate);

    struct Shown {
        stats::EstimateInput input;
        stats::EstimateAnswer answer;
    };
    // The answer the window shows, and the input it belongs to.
    const std::optional<Shown>& ShownAnswer() const { return shown_; }
    // The answer shown belongs to other counts than the fields give now.
    bool AnswerGreyed() const;
    // Nothing is waiting: the fields have been read and their answer, if any, is shown.
    bool Settled() const { return !pause_.isActive() && !live_.Working(); }
    // Why a field cannot be read, as shown beneath it (empty when it can).
    QString Reason(EstimateField field) const;
    QString Status() const;

    // Copies the answer as text to the clipboard.
    void CopyResult();
    // Asks for a file name and saves the answer's charts and figures there as a PNG picture.
    void SaveImage();

    // The pause after a keystroke before the fields are read, in milliseconds.
    void SetPause(int milliseconds) { pause_.setInterval(milliseconds); }
    const LiveEstimate& Live() const { return live_; }

  private:
    struct Figure;
    void Edited(EstimateField field);
    // Reads the fields and starts the estimate they ask for, or says why there is none.
    void ReadFields();
    void ShowAnswer(const stats::EstimateInput& input, const stats::EstimateOutcome& outcome);
    void ShowReason(std::optional<EstimateField> field, const QString& reason);
    void SetGreyed(bool greyed);
    void SetStatus(std::string_view text);
    EstimateFieldTexts FieldTexts() const;
    QWidget* BuildInputs();
    QWidget* BuildAnswer();
    QLabel* AddFigure(const char* name, const char* accessibleName);

    MessageBox& messages_;
    ImageFileDialog& files_;
    LiveEstimate live_;
    QTimer pause_;
    std::optional<EstimateField> lastEdited_;
    std::optional<Shown> shown_;

    // The fields, in reading order.
    std::array<QLineEdit*, kEstimateFields> fields_{};  // by EstimateField; none for Prior
    QComboBox* priorChoice_ = nullptr;
    std::array<QLineEdit*, stats::kSettings> weights_{};
    QComboBox* rate_ = nullptr;
    std::array<QLabel*, kEstimateFields> reasons_{};
    QPushButton* copy_ = nullptr;
    QPushButton* save_ = nullptr;

    // The answer.
    QWidget* answer_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* basis_ = nullptr;
    QLabel* atLeast4_ = nullptr;
    QLabel* fiveOrSix_ = nullptr;
    QLabel* expectedSetting_ = nullptr;
    ChartView* chart_ = nullptr;
    QLabel* big_ = nullptr;
    QLabel* reg_ = nullptr;
    QLabel* payout_ = nullptr;
    QLabel* projectionTitle_ = nullptr;
    QLabel* mean_ = nullptr;
    QLabel* ahead_ = nullptr;
    QLabel* p5_ = nullptr;
    QLabel* p50_ = nullptr;
    QLabel* p95_ = nullptr;
    QLabel* knownMedian_ = nullptr;
    QLabel* knownRange_ = nullptr;
    QLabel* seed_ = nullptr;
};

}  // namespace taviro
