#include "estimate_window/estimate_window.h"

#include <QClipboard>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <new>

#include "chart_layout/estimate_chart.h"
#include "charts/drawing_painter.h"
#include "estimation/estimate_report.h"
#include "support/accessible_names.h"
#include "support/form_fields.h"
#include "support/recording_message_box.h"
#include "support/window_test_main.h"

namespace taviro {

using F = EstimateField;

class AnsweringImageDialog final : public ImageFileDialog {
  public:
    QString AskSaveName(QWidget*, const QString&) override { return answer; }
    QString answer;
};

class EstimateWindowTest : public QObject {
    Q_OBJECT

  private:
    test_support::RecordingMessageBox messages_;
    AnsweringImageDialog files_;
    std::unique_ptr<EstimateWindow> window_;

    QLineEdit* Edit(const QString& name) const {
        if (name == QLatin1String("Rate")) return window_->findChild<QComboBox*>(name)->lineEdit();
        return window_->findChild<QLineEdit*>(name);
    }
    // Types "Field=text" pairs, separated by spaces, into the fields of those object names.
    void Type(const QString& typed) {
        for (const QString& pair : typed.split(u' ')) {
            const QString name = pair.section(u'=', 0, 0), text = pair.section(u'=', 1);
            if (name.startsWith(QLatin1String("Weight"))) {
                window_->findChild<QComboBox*>(QStringLiteral("PriorChoice"))->setCurrentIndex(1);
            }
            Edit(name)->clear();
            QInputMethodEvent commit;  // as an input method commits what was typed
            commit.setCommitString(text);
            QApplication::sendEvent(Edit(name), &commit);
        }
    }
    void Settle() { QTRY_VERIFY_WITH_TIMEOUT(window_->Settled(), 120000); }

  private slots:
    void init() {
        window_ = std::make_unique<EstimateWindow>(messages_, files_, 2);
        window_->SetPause(10);
    }
    void cleanup() { window_.reset(); }

    void showsTheFiguresOfTheCommandLine_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("args");  // as the window's copied command gives them
        QTest::newRow("counts and remaining games")
            << "Games=3000 Bigs=12 Regs=8 Remaining=500"
            << "--games 3000 --big 12 --reg 8 --remaining 500 --rate 5";
        QTest::newRow("everything")
            << "Games=２０００ Bigs=9 Regs=6 HyperBigs=1 ArGames=400 Weight5=2 Weight6=2.5 "
               "Remaining=300 Rate=5.6"
            << "--games 2000 --big 9 --reg 6 --hbig 1 --ar-games 400 --prior 1,1,1,1,2,2.5 "
               "--remaining 300 --rate 5.6";
    }
    void showsTheFiguresOfTheCommandLine() {
        QFETCH(QString, typed);
        QFETCH(QString, args);
        Type(typed);
        Settle();
        QVERIFY(window_->ShownAnswer());
        QVERIFY(!window_->AnswerGreyed());
        const EstimateWindow::Shown& shown = *window_->ShownAnswer();
        args += QStringLiteral(" --seed 20261206");
        QCOMPARE(QString::fromStdString(EstimateCommand(shown.input)),
                 QStringLiteral("taviro-stats estimate ") + args);

        // The program itself, run with those arguments, gives every figure the window holds.
        QProcess command;
        command.start(QStringLiteral(TAVIRO_STATS_PROGRAM),
                      QStringList{"estimate", "--format", "json"} + args.split(u' '));
        QVERIFY(command.waitForFinished(120000));
        QCOMPARE(command.exitCode(), 0);
        const QJsonObject json = QJsonDocument::fromJson(command.readAllStandardOutput()).object();
        for (const stats::EstimateFigure& f : stats::EstimateFigures(shown.input, shown.answer)) {
            QJsonValue value = json.value(QString::fromStdString(f.key));
            if (f.setting > 0) value = value.toArray().at(f.setting - 1);
            QVERIFY2(value.isNull() == !f.value, f.key.c_str());
            if (f.value) QVERIFY2(value.toDouble() == *f.value, f.key.c_str());
        }

        // The window writes out the texts of that answer, and tells them to a screen reader.
        const EstimateTexts t = TextsOf(shown.input, shown.answer);
        const std::string texts[] = {t.basis, t.fiveOrSix,   t.atLeast4,  t.expectedSetting,
                                     t.big,   t.reg,         t.payout,    t.projectionTitle,
                                     t.mean,  t.ahead,       t.p5,        t.p50,
                                     t.p95,   t.knownMedian, t.knownRange};
        const QStringList labels =
            QStringLiteral(
                "Basis FiveOrSix AtLeast4 ExpectedSetting BigFrequency RegFrequency Payout "
                "ProjectionTitle Mean Ahead P5 P50 P95 KnownMedian KnownRange")
                .split(u' ');
        for (int i = 0; i < labels.size(); ++i) {
            const QLabel* label = window_->findChild<QLabel*>(labels[i]);
            QCOMPARE(label->text(), QString::fromStdString(texts[i]));
            QCOMPARE(label->accessibleDescription(), label->text());
        }
    }

    void impossibleInputSaysWhyAndGreysTheLastAnswer() {
        Type("Games=3000 Bigs=12 Regs=8");
        Settle();
        const auto answer = window_->ShownAnswer();
        QVERIFY(answer);
        QVERIFY(!window_->AnswerGreyed());
        const std::tuple<QString, QString, F, QString> cases[] = {
            {"Bigs", "1２a", F::Bigs, "数字で"}, {"Rate", "", F::Rate, "0 より大きい"}};
        for (const auto& [field, text, reasonAt, reason] : cases) {
            const QString before = Edit(field)->text();
            Type(field + u'=' + text);
            Settle();
            QVERIFY(window_->Reason(reasonAt).contains(reason));
            // A screen reader tells it too.
            QCOMPARE(test_support::AccessibleText(window_->findChild<QWidget*>(field),
                                                  QAccessible::Description),
                     window_->Reason(reasonAt));
            QVERIFY(window_->AnswerGreyed());
            QCOMPARE(window_->Status(), QString::fromUtf8(kGreyedNote.data()));
            QVERIFY(window_->ShownAnswer()->input == answer->input);

            Type(field + u'=' + before);
            Settle();
            QVERIFY(!window_->AnswerGreyed());
            QVERIFY(window_->Reason(reasonAt).isEmpty());
        }
    }

    // With no pause, each keystroke starts an estimate that stops the one under way, and the last
    // one's answer shows. A million remaining games take far longer than a keystroke.
    void aFastRunOfKeystrokesEndsWithTheLastInputsAnswer() {
        window_->SetPause(0);
        Type("Games=3000 Bigs=12 Regs=8 Remaining=1000000");
        QTRY_COMPARE_WITH_TIMEOUT(window_->Live().Begun(), 1, 60000);
        for (int begun = 2; begun <= 4; ++begun) {  // down to 1000 remaining games
            QTest::keyClick(Edit("Remaining"), Qt::Key_Backspace);
            QTRY_COMPARE_WITH_TIMEOUT(window_->Live().Begun(), begun, 60000);
        }
        Settle();
        QCOMPARE(window_->Live().Stopped(), 3);
        stats::EstimateInput expected;
        expected.games = 3000, expected.bigs = 12, expected.regs = 8, expected.remaining = 1000;
        expected.seed = kWindowSeed;
        QVERIFY(window_->ShownAnswer()->input == expected);
        const stats::EstimateAnswer answer = stats::Estimate(expected).answer.value();
        QCOMPARE(window_->ShownAnswer()->answer.posterior, answer.posterior);
    }

    // An estimate that fails (here: no memory for the next games) says why under the field, and
    // the last answer stays, greyed.
    void aFailedEstimateSaysWhyAndKeepsTheLastAnswer() {
        window_ = std::make_unique<EstimateWindow>(
            messages_, files_, 2,
            [](const stats::EstimateInput& in, unsigned threads, RunControl* control) {
                if (in.remaining > 0) throw std::bad_alloc();
                return stats::Estimate(in, threads, control);
            });
        Type("Games=3000 Bigs=12 Regs=8");
        Settle();
        const stats::EstimateInput before = window_->ShownAnswer().value().input;
        Type("Remaining=500");
        Settle();
        QVERIFY(window_->Reason(F::Remaining).contains("メモリが足りません"));
        QVERIFY(window_->AnswerGreyed());
        QVERIFY(window_->ShownAnswer()->input == before);
    }

    void everyFieldAndFigureHasAName() {
        QSet<QString> names;
        for (QWidget* widget : window_->findChildren<QWidget*>()) {
            const QString object = widget->objectName();
            const bool field = widget->inherits("QLineEdit") || widget->inherits("QComboBox");
            const bool figure = widget->inherits("QLabel") || object == QLatin1String("Chart");
            if (object.isEmpty() || !(field || figure) || object.endsWith(QLatin1String("Reason")))
                continue;  // the reasons are told as the fields' descriptions
            const QString name = test_support::AccessibleText(widget);
            QVERIFY2(!name.isEmpty() && !names.contains(name), qPrintable(object));
            names.insert(name);
        }
        QVERIFY(names.size() >= 28);
    }

    void keyboardTabsInReadingOrderAndEscapeCloses() {
        Type("Weight1=1");
        window_->show();
        QVERIFY(QTest::qWaitForWindowActive(window_.get(), 30000));
        Edit("Games")->setFocus();
        // The buttons wait for an answer.
        const QStringList order =
            QStringLiteral(
                "Games Bigs Regs HyperBigs ArGames PriorChoice Weight1 "
                "Weight2 Weight3 Weight4 Weight5 Weight6 Remaining Rate Games")
                .split(u' ');
        QCOMPARE(test_support::TabChain(order.size()), order);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!window_->isVisible());
    }

    void copiesTheAnswerAndSavesThePicture() {
        Type("Games=3000 Bigs=12 Regs=8");
        Settle();
        window_->CopyResult();
        const auto& shown = *window_->ShownAnswer();
        QCOMPARE(QApplication::clipboard()->text(),
                 QString::fromStdString(CopiedText(shown.input, shown.answer)));
        // The chart is the picture of `taviro-stats estimate --plot`, drawn to the window's size.
        QWidget* chart = window_->findChild<QWidget*>(QStringLiteral("Chart"));
        const QImage drawn = chart->grab().toImage();  // laid out first
        QImage expected(chart->size(), QImage::Format_ARGB32_Premultiplied);
        expected.fill(Qt::white);
        QPainter painter(&expected);
        charts::PaintDrawing(
            painter,
            stats::DrawEstimate(shown.input, shown.answer, chart->width(), chart->height()),
            chart->rect());
        painter.end();
        QCOMPARE(drawn.convertToFormat(expected.format()), expected);

        QTemporaryDir folder;
        files_.answer = folder.filePath(QStringLiteral("推定.png"));
        window_->SaveImage();
        QVERIFY(!QImage(files_.answer).isNull());
        files_.answer = folder.filePath(QStringLiteral("no/such/folder.png"));
        window_->SaveImage();
        QCOMPARE(messages_.shown.size(), std::size_t{1});
    }
};

}  // namespace taviro

TAVIRO_WINDOW_TEST_MAIN(taviro::EstimateWindowTest)

#include "estimate_window_test.moc"
