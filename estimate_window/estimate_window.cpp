#include "estimate_window/estimate_window.h"

#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <utility>

#include "chart_layout/estimate_chart.h"
#include "charts/drawing_painter.h"
#include "estimate_window/chart_view.h"
#include "forms/app_setup.h"
#include "forms/form_builder.h"
#include "forms/named_combo_box.h"

namespace taviro {

namespace {

using F = EstimateField;

constexpr int kPauseMilliseconds = 200;
constexpr int kFieldWidth = 96;
constexpr int kWeightWidth = 40;
constexpr int kInputsWidth = 290;

std::size_t Index(EstimateField field) {
    return static_cast<std::size_t>(field);
}

// A count field: its part of the input, object name, caption (also its accessible name) and the
// grey hint it shows while empty.
struct CountRow {
    EstimateField field;
    const char* name;
    const char* caption;
    const char* hint;
};

constexpr CountRow kCounterRows[] = {
    {F::Games, "Games", "総ゲーム数", ""},
    {F::Bigs, "Bigs", "ＢＩＧ回数", ""},
    {F::Regs, "Regs", "ＲＥＧ回数", ""},
    {F::HyperBigs, "HyperBigs", "ハイパーＢＩＧ回数", "分かれば"},
    {F::ArGames, "ArGames", "ＡＲゲーム数", "分かれば"},
};
constexpr CountRow kRemainingRow = {F::Remaining, "Remaining", "残りゲーム数", "例: 2000"};

constexpr const char* kRates[] = {"5", "6", "7", "7.6", "8"};

QFont Scaled(const QFont& base, double factor, bool bold) {
    QFont font = base;
    font.setPointSizeF(base.pointSizeF() * factor);
    font.setBold(bold);
    return font;
}

QLabel* ReasonLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name) + QStringLiteral("Reason"));
    label->setWordWrap(true);
    label->setStyleSheet(QStringLiteral("color: #b00020;"));
    label->hide();
    return label;
}

QLineEdit* NumberField(QWidget* parent, const char* name, const char* caption, const char* hint,
                       int width) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setAccessibleName(QString::fromUtf8(caption));
    field->setPlaceholderText(QString::fromUtf8(hint));
    field->setAlignment(Qt::AlignRight);
    field->setFixedWidth(width);
    return field;
}

// A figure of the answer: its caption, its object name, what a screen reader calls it, and the
// member that holds it.
struct FigureRow {
    const char* caption;
    const char* name;
    const char* accessible;
    QLabel* EstimateWindow::*label;
};

void SetFigure(QLabel* label, const std::string& text) {
    label->setText(ToQString(text));
    label->setAccessibleDescription(ToQString(text));
}

}  // namespace

EstimateWindow::EstimateWindow(MessageBox& messages, ImageFileDialog& files, unsigned threads,
                               LiveEstimate::Estimator estimator)
    : messages_(messages), files_(files), live_(threads, nullptr, std::move(estimator)) {
    setObjectName(QStringLiteral("EstimateWindow"));
    setWindowTitle(QStringLiteral("Taviro　設定推定"));
    setWindowIcon(ProgramIcon());
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(BuildInputs());
    layout->addWidget(BuildAnswer(), 1);
    resize(1240, 860);

    pause_.setSingleShot(true);
    pause_.setInterval(kPauseMilliseconds);
    connect(&pause_, &QTimer::timeout, this, &EstimateWindow::ReadFields);
    connect(&live_, &LiveEstimate::Answered, this, &EstimateWindow::ShowAnswer);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &EstimateWindow::close);
    ReadFields();
    fields_[Index(F::Games)]->setFocus();
}

QWidget* EstimateWindow::BuildInputs() {
    auto* inputs = new QWidget(this);
    inputs->setFixedWidth(kInputsWidth);
    auto* column = new QVBoxLayout(inputs);
    column->setContentsMargins(0, 0, 0, 0);

    // Rows of caption and field, each with its reason beneath.
    const auto addRow = [this](QGroupBox* box, QGridLayout* grid, const CountRow& row) {
        const int line = grid->rowCount();
        auto* caption = new QLabel(QString::fromUtf8(row.caption), box);
        QLineEdit* field = NumberField(box, row.name, row.caption, row.hint, kFieldWidth);
        caption->setBuddy(field);
        grid->addWidget(caption, line, 0);
        grid->addWidget(field, line, 1, Qt::AlignRight);
        reasons_[Index(row.field)] = ReasonLabel(box, row.name);
        grid->addWidget(reasons_[Index(row.field)], line + 1, 0, 1, 2);
        fields_[Index(row.field)] = field;
        connect(field, &QLineEdit::textChanged, this, [this, f = row.field] { Edited(f); });
    };

    auto* counter = new QGroupBox(QStringLiteral("台のデータ（データカウンター）"), inputs);
    auto* counterGrid = new QGridLayout(counter);
    for (const CountRow& row : kCounterRows) addRow(counter, counterGrid, row);
    column->addWidget(counter);

    auto* prior = new QGroupBox(QStringLiteral("打つ前の見込み（事前確率）"), inputs);
    auto* priorGrid = new QGridLayout(prior);
    priorChoice_ = new NamedComboBox(prior);
    priorChoice_->setObjectName(QStringLiteral("PriorChoice"));
    priorChoice_->setAccessibleName(QStringLiteral("事前確率"));
    priorChoice_->addItems(
        {QStringLiteral("どの設定も同じ"), QStringLiteral("設定ごとの重みを入力")});
    priorGrid->addWidget(priorChoice_, 0, 0, 1, 6);
    for (int s = 0; s < 6; ++s) {
        const QString number = QString::number(s + 1);
        auto* caption = new QLabel(QStringLiteral("設定") + number, prior);
        caption->setAlignment(Qt::AlignCenter);
        const QByteArray name = "Weight" + number.toLatin1();
        const QByteArray accessible =
            (QStringLiteral("設定") + number + QStringLiteral("の重み")).toUtf8();
        weights_[s] =
            NumberField(prior, name.constData(), accessible.constData(), "", kWeightWidth);
        weights_[s]->setEnabled(false);
        caption->setBuddy(weights_[s]);
        priorGrid->addWidget(caption, 1, s);
        priorGrid->addWidget(weights_[s], 2, s);
        connect(weights_[s], &QLineEdit::textChanged, this, [this] { Edited(F::Prior); });
    }
    reasons_[Index(F::Prior)] = ReasonLabel(prior, "Prior");
    priorGrid->addWidget(reasons_[Index(F::Prior)], 3, 0, 1, 6);
    connect(priorChoice_, &QComboBox::currentIndexChanged, this, [this](int index) {
        for (QLineEdit* weight : weights_) {
            weight->setEnabled(index == 1);
            if (index == 1 && weight->text().isEmpty()) weight->setText(QStringLiteral("1"));
        }
        Edited(F::Prior);
    });
    column->addWidget(prior);

    auto* ahead = new QGroupBox(QStringLiteral("この先"), inputs);
    auto* aheadGrid = new QGridLayout(ahead);
    addRow(ahead, aheadGrid, kRemainingRow);
    const int line = aheadGrid->rowCount();
    auto* rateCaption = new QLabel(QStringLiteral("換金率（枚/100円）"), ahead);
    rate_ = new NamedComboBox(ahead);
    rate_->setObjectName(QStringLiteral("Rate"));
    rate_->setAccessibleName(QStringLiteral("換金率"));
    rate_->setEditable(true);
    rate_->setInsertPolicy(QComboBox::NoInsert);
    for (const char* rate : kRates) rate_->addItem(QString::fromLatin1(rate));
    rate_->setFixedWidth(kFieldWidth);
    rateCaption->setBuddy(rate_);
    aheadGrid->addWidget(rateCaption, line, 0);
    aheadGrid->addWidget(rate_, line, 1, Qt::AlignRight);
    reasons_[Index(F::Rate)] = ReasonLabel(ahead, "Rate");
    aheadGrid->addWidget(reasons_[Index(F::Rate)], line + 1, 0, 1, 2);
    connect(rate_, &QComboBox::editTextChanged, this, [this] { Edited(F::Rate); });
    column->addWidget(ahead);

    auto* buttons = new QHBoxLayout;
    copy_ = new QPushButton(QStringLiteral("結果をコピー"), inputs);
    copy_->setObjectName(QStringLiteral("Copy"));
    save_ = new QPushButton(QStringLiteral("画像を保存..."), inputs);
    save_->setObjectName(QStringLiteral("Save"));
    for (QPushButton* button : {copy_, save_}) {
        button->setAutoDefault(true);  // Enter clicks it, as Space does
        button->setEnabled(false);
        buttons->addWidget(button);
    }
    connect(copy_, &QPushButton::clicked, this, &EstimateWindow::CopyResult);
    connect(save_, &QPushButton::clicked, this, &EstimateWindow::SaveImage);
    column->addLayout(buttons);
    column->addStretch(1);

    seed_ = new QLabel(ToQString(kSeedText), inputs);
    seed_->setObjectName(QStringLiteral("Seed"));
    seed_->setAccessibleName(QStringLiteral("乱数の種"));
    seed_->setToolTip(ToQString(kSeedExplanation));
    seed_->setForegroundRole(QPalette::PlaceholderText);
    column->addWidget(seed_);

    // Tab goes through the fields in reading order, then the buttons.
    QWidget* previous = nullptr;
    const auto chain = [&previous](QWidget* next) {
        if (previous != nullptr) setTabOrder(previous, next);
        previous = next;
    };
    for (const CountRow& row : kCounterRows) chain(fields_[Index(row.field)]);
    chain(priorChoice_);
    for (QLineEdit* weight : weights_) chain(weight);
    chain(fields_[Index(F::Remaining)]);
    chain(rate_);
    chain(copy_);
    chain(save_);
    return inputs;
}

QLabel* EstimateWindow::AddFigure(const char* name, const char* accessibleName) {
    auto* label = new QLabel(answer_);
    label->setObjectName(QString::fromLatin1(name));
    label->setAccessibleName(QString::fromUtf8(accessibleName));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QWidget* EstimateWindow::BuildAnswer() {
    auto* side = new QWidget(this);
    auto* column = new QVBoxLayout(side);
    column->setContentsMargins(0, 0, 0, 0);
    status_ = new QLabel(side);
    status_->setObjectName(QStringLiteral("Status"));
    status_->setAccessibleName(QStringLiteral("状態"));
    status_->setWordWrap(true);
    column->addWidget(status_);

    answer_ = new QWidget(side);
    answer_->setObjectName(QStringLiteral("Answer"));
    column->addWidget(answer_, 1);
    column->addStretch(0);  // holds the status at the top while there is no answer
    auto* a = new QVBoxLayout(answer_);
    a->setContentsMargins(0, 0, 0, 0);
    const QFont base = font();

    basis_ = AddFigure("Basis", "推定のもとにした回数");
    basis_->setFont(Scaled(base, 1.25, true));
    a->addWidget(basis_);

    // The three figures a player looks for first, large.
    auto* headline = new QHBoxLayout;
    const FigureRow tiles[] = {
        {"設定5・6の確率", "FiveOrSix", "設定5・6の確率", &EstimateWindow::fiveOrSix_},
        {"設定4以上の確率", "AtLeast4", "設定4以上の確率", &EstimateWindow::atLeast4_},
        {"期待設定（平均）", "ExpectedSetting", "期待設定", &EstimateWindow::expectedSetting_}};
    for (const FigureRow& tile : tiles) {
        auto* box = new QVBoxLayout;
        auto* caption = new QLabel(QString::fromUtf8(tile.caption), answer_);
        caption->setFont(Scaled(base, 1.15, false));
        this->*tile.label = AddFigure(tile.name, tile.accessible);
        (this->*tile.label)->setFont(Scaled(base, 2.4, true));
        box->addWidget(caption);
        box->addWidget(this->*tile.label);
        headline->addLayout(box);
        headline->addSpacing(32);
    }
    headline->addStretch(1);
    a->addLayout(headline);

    // The picture `taviro-stats estimate --plot` draws: the posterior beside the prior, and the
    // fan of the net coins over the remaining games.
    chart_ = new ChartView(answer_);
    chart_->setObjectName(QStringLiteral("Chart"));
    chart_->setAccessibleName(QStringLiteral("設定ごとの確率とこの先の差枚数のグラフ"));
    chart_->setMinimumSize(480, 300);
    a->addWidget(chart_, 1);

    // Below it, what the machine showed on the left, what the next games are worth on the right.
    auto* figures = new QHBoxLayout;
    auto* observed = new QGridLayout;
    const FigureRow observedRows[] = {
        {"ＢＩＧ確率", "BigFrequency", "ＢＩＧ確率", &EstimateWindow::big_},
        {"ＲＥＧ確率", "RegFrequency", "ＲＥＧ確率", &EstimateWindow::reg_},
        {"長期ＰＡＹＯＵＴ（期待値）", "Payout", "長期ＰＡＹＯＵＴ", &EstimateWindow::payout_}};
    for (int r = 0; r < 3; ++r) {
        const FigureRow& row = observedRows[r];
        observed->addWidget(new QLabel(QString::fromUtf8(row.caption), answer_), r, 0);
        this->*row.label = AddFigure(row.name, row.accessible);
        observed->addWidget(this->*row.label, r, 1);
    }
    observed->setRowStretch(3, 1);
    figures->addLayout(observed);
    figures->addSpacing(32);

    auto* ahead = new QGridLayout;
    projectionTitle_ = AddFigure("ProjectionTitle", "この先の見込み");
    projectionTitle_->setFont(Scaled(base, 1.15, true));
    ahead->addWidget(projectionTitle_, 0, 0, 1, 5);
    const FigureRow spread[] = {{"勝つ確率", "Ahead", "この先勝つ確率", &EstimateWindow::ahead_},
                                {"平均", "Mean", "収支の平均", &EstimateWindow::mean_},
                                {"5%点", "P5", "収支の5%点", &EstimateWindow::p5_},
                                {"中央値", "P50", "収支の中央値", &EstimateWindow::p50_},
                                {"95%点", "P95", "収支の95%点", &EstimateWindow::p95_}};
    for (int c = 0; c < 5; ++c) {
        const FigureRow& column = spread[c];
        ahead->addWidget(new QLabel(QString::fromUtf8(column.caption), answer_), 1, c);
        this->*column.label = AddFigure(column.name, column.accessible);
        (this->*column.label)->setFont(Scaled(base, 1.4, true));
        ahead->addWidget(this->*column.label, 2, c);
    }
    auto* knownTitle = new QLabel(QStringLiteral("設定5・6かどうか分かるまでのゲーム数"), answer_);
    knownTitle->setFont(Scaled(base, 1.15, true));
    knownTitle->setToolTip(QStringLiteral("設定5・6の確率が 0.9 を超えるか 0.1 を下回るまで"));
    ahead->addWidget(knownTitle, 3, 0, 1, 5);
    knownMedian_ = AddFigure("KnownMedian", "判別までのゲーム数の中央値");
    knownRange_ = AddFigure("KnownRange", "判別までのゲーム数の80%範囲");
    ahead->addWidget(new QLabel(QStringLiteral("中央値"), answer_), 4, 0);
    ahead->addWidget(new QLabel(QStringLiteral("80%範囲"), answer_), 4, 1, 1, 4);
    ahead->addWidget(knownMedian_, 5, 0);
    ahead->addWidget(knownRange_, 5, 1, 1, 4);
    for (QLabel* value : {knownMedian_, knownRange_}) value->setFont(Scaled(base, 1.4, true));
    figures->addLayout(ahead, 1);
    a->addLayout(figures);
    answer_->hide();  // until the first answer
    return side;
}

void EstimateWindow::Edited(EstimateField field) {
    lastEdited_ = field;
    pause_.start();
}

EstimateFieldTexts EstimateWindow::FieldTexts() const {
    const auto text = [this](F field) { return fields_[Index(field)]->text().toStdString(); };
    EstimateFieldTexts t;
    t.games = text(F::Games);
    t.bigs = text(F::Bigs);
    t.regs = text(F::Regs);
    t.hyperBigs = text(F::HyperBigs);
    t.arGames = text(F::ArGames);
    t.typedPrior = priorChoice_->currentIndex() == 1;
    for (std::size_t s = 0; s < weights_.size(); ++s)
        t.weights[s] = weights_[s]->text().toStdString();
    t.remaining = text(F::Remaining);
    t.rate = rate_->currentText().toStdString();
    return t;
}

void EstimateWindow::ReadFields() {
    pause_.stop();
    const EstimateReading reading = ReadEstimateFields(FieldTexts(), lastEdited_);
    if (reading.problem) {
        live_.Cancel();
        ShowReason(reading.problem->field, ToQString(reading.problem->reason));
        SetGreyed(true);
        SetStatus(shown_ ? kGreyedNote : std::string_view());
        return;
    }
    ShowReason(std::nullopt, {});
    if (!reading.input) {
        live_.Cancel();
        SetGreyed(true);
        SetStatus(kIncompleteHint);
        return;
    }
    if (shown_ && shown_->input == *reading.input) {
        live_.Cancel();
        SetGreyed(false);
        SetStatus({});
        return;
    }
    live_.Request(*reading.input);
    // Until the new answer comes, the one shown belongs to other counts.
    SetGreyed(true);
    SetStatus(kComputingNote);
}

void EstimateWindow::ShowAnswer(const stats::EstimateInput& input,
                                const stats::EstimateOutcome& outcome) {
    if (!outcome.answer) {
        ShowReason(lastEdited_.value_or(F::Games), ToQString(EstimateFailure(outcome.error)));
        SetGreyed(true);
        SetStatus(shown_ ? kGreyedNote : std::string_view());
        return;
    }
    shown_ = Shown{input, *outcome.answer};
    const EstimateTexts t = TextsOf(input, *outcome.answer);
    SetFigure(basis_, t.basis);
    SetFigure(fiveOrSix_, t.fiveOrSix);
    SetFigure(atLeast4_, t.atLeast4);
    SetFigure(expectedSetting_, t.expectedSetting);
    SetFigure(big_, t.big);
    SetFigure(reg_, t.reg);
    SetFigure(payout_, t.payout);
    SetFigure(projectionTitle_, t.projectionTitle);
    chart_->setAccessibleDescription(ToQString(t.chartDescription));
    const std::pair<QLabel*, const std::string*> money[] = {
        {mean_, &t.mean}, {ahead_, &t.ahead}, {p5_, &t.p5}, {p50_, &t.p50}, {p95_, &t.p95}};
    for (const auto& [label, text] : money) SetFigure(label, *text);
    SetFigure(knownMedian_, t.knownMedian);
    SetFigure(knownRange_, t.knownRange);
    chart_->SetDrawing([input, answer = *outcome.answer](QPainter& painter, const QRect& area) {
        const stats::Drawing drawing =
            stats::DrawEstimate(input, answer, area.width(), area.height());
        charts::PaintDrawing(painter, drawing, area);
    });
    answer_->show();
    copy_->setEnabled(true);
    save_->setEnabled(true);
    SetGreyed(false);
    SetStatus({});
}

void EstimateWindow::ShowReason(std::optional<EstimateField> field, const QString& reason) {
    for (std::size_t f = 0; f < reasons_.size(); ++f) {
        QLabel* label = reasons_[f];
        if (label == nullptr) continue;
        const bool here = field && Index(*field) == f;
        label->setText(here ? reason : QString());
        label->setVisible(here);
        QWidget* input = f == Index(F::Prior)  ? static_cast<QWidget*>(priorChoice_)
                         : f == Index(F::Rate) ? static_cast<QWidget*>(rate_)
                                               : fields_[f];
        input->setAccessibleDescription(here ? reason : QString());
    }
}

void EstimateWindow::SetGreyed(bool greyed) {
    answer_->setEnabled(!greyed);
}

bool EstimateWindow::AnswerGreyed() const {
    return shown_ && !answer_->isEnabled();
}

void EstimateWindow::SetStatus(std::string_view text) {
    status_->setText(ToQString(text));
    status_->setVisible(!text.empty());
}

QString EstimateWindow::Status() const {
    return status_->text();
}

QString EstimateWindow::Reason(EstimateField field) const {
    return reasons_[Index(field)]->text();
}

void EstimateWindow::CopyResult() {
    if (!shown_) return;
    QApplication::clipboard()->setText(ToQString(CopiedText(shown_->input, shown_->answer)));
}

void EstimateWindow::SaveImage() {
    if (!shown_) return;
    SaveWindowPicture(*answer_, this, QStringLiteral("設定推定.png"), files_, messages_);
}

}  // namespace taviro
