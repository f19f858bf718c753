#include "estimate/estimate_window.h"

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

#include "charts/drawing_painter.h"
#include "forms/app_setup.h"
#include "stats/estimate_chart.h"
#include "stats/estimate_report.h"
#include "support/accessible_names.h"
#include "support/recording_message_box.h"

using Texts = QList<std::pair<QString, QString>>;  // field's object name, text typed
Q_DECLARE_METATYPE(Texts)

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
    void Type(const Texts& texts) {
        for (const auto& [name, text] : texts) {
            if (name.startsWith(QLatin1String("Weight"))) {
                window_->findChild<QComboBox*>(QStringLiteral("PriorChoice"))->setCurrentIndex(1);
            }
            Edit(name)->clear();
            QInputMethodEvent typed;  // as an input method commits what was typed
            typed.setCommitString(text);
            QApplication::sendEvent(Edit(name), &typed);
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
        QTest::addColumn<Texts>("typed");
        QTest::addColumn<QString>("args");
        const auto g = [](const char* name, const char* text) {
            return std::pair(QString::fromLatin1(name), QString::fromUtf8(text));
        };
        // The arguments as the window's copied command gives them.
        QTest::newRow("counts and remaining games")
            << Texts{g("Games", "3000"), g("Bigs", "12"), g("Regs", "8"), g("Remaining", "500")}
            << "--games 3000 --big 12 --reg 8 --remaining 500 --rate 5";
        QTest::newRow("everything")
            << Texts{g("Games", "２０００"), g("Bigs", "9"),        g("Regs", "6"),
                     g("HyperBigs", "1"),    g("ArGames", "400"),   g("Weight5", "2"),
                     g("Weight6", "2.5"),    g("Remaining", "300"), g("Rate", "5.6")}
            << "--games 2000 --big 9 --reg 6 --hbig 1 --ar-games 400 --prior 1,1,1,1,2,2.5 "
               "--remaining 300 --rate 5.6";
        QTest::newRow("no projection")
            << Texts{g("Games", "6000"), g("Bigs", "20"), g("Regs", "25"), g("Rate", "7.6")}
            << "--games 6000 --big 20 --reg 25 --rate 7.6";
    }
    void showsTheFiguresOfTheCommandLine() {
        QFETCH(Texts, typed);
        QFETCH(QString, args);
        Type(typed);
        Settle();
        QVERIFY(window_->ShownAnswer() && !window_->AnswerGreyed());
        const EstimateWindow::Shown& shown = *window_->ShownAnswer();
        args += QStringLiteral(" --seed 20261206");
        QCOMPARE(QString::fromStdString(EstimateCommand(shown.input)),
                 QStringLiteral("taviro-stats estimate ") + args);

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

        // The window writes out the texts of that answer.
        const EstimateTexts t = TextsOf(shown.input, shown.answer);
        using T = EstimateTexts;
        const std::string T::*texts[] = {
            &T::basis,  &T::fiveOrSix,       &T::atLeast4,  &T::expectedSetting, &T::big, &T::reg,
            &T::payout, &T::projectionTitle, &T::mean,      &T::ahead,           &T::p5,  &T::p50,
            &T::p95,    &T::knownMedian,     &T::knownRange};
        const QStringList labels =
            QStringLiteral(
                "Basis FiveOrSix AtLeast4 ExpectedSetting BigFrequency RegFrequency Payout "
                "ProjectionTitle Mean Ahead P5 P50 P95 KnownMedian KnownRange")
                .split(u' ');
        for (int i = 0; i < labels.size(); ++i) {  // shown, and told to a screen reader
            const QLabel* label = window_->findChild<QLabel*>(labels[i]);
            QCOMPARE(label->text(), QString::fromStdString(t.*texts[i]));
            QCOMPARE(label->accessibleDescription(), label->text());
        }
    }

    void impossibleInputSaysWhyAndGreysTheLastAnswer_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("reasonAt");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not a number") << "Bigs"
                                      << "1２a" << int(F::Bigs) << "数字で";
        QTest::newRow("more bonuses than games") << "Games"
                                                 << "15" << int(F::Games) << "払い出せません";
        QTest::newRow("no rate") << "Rate"
                                 << "" << int(F::Rate) << "0 より大きい";
    }
    void impossibleInputSaysWhyAndGreysTheLastAnswer() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(int, reasonAt);
        QFETCH(QString, reason);
        Type({{"Games", "3000"}, {"Bigs", "12"}, {"Regs", "8"}});
        Settle();
        const QString before = Edit(field)->text();
        const auto answer = window_->ShownAnswer();
        QVERIFY(answer && !window_->AnswerGreyed());

        Type({{field, text}});
        Settle();
        QVERIFY(window_->Reason(F(reasonAt)).contains(reason));
        // A screen reader tells it too.
        QCOMPARE(test_support::AccessibleText(window_->findChild<QWidget*>(field),
                                              QAccessible::Description),
                 window_->Reason(F(reasonAt)));
        QVERIFY(window_->AnswerGreyed());
        QCOMPARE(window_->Status(), QString::fromUtf8(kGreyedNote.data()));
        QVERIFY(SameEstimate(window_->ShownAnswer()->input, answer->input));

        Type({{field, before}});
        Settle();
        QVERIFY(!window_->AnswerGreyed());
        QVERIFY(window_->Reason(F(reasonAt)).isEmpty());
    }

    // With no pause, each keystroke starts an estimate that the next one stops.
    void aFastRunOfKeystrokesEndsWithTheLastInputsAnswer() {
        window_->SetPause(0);
        Type({{"Bigs", "12"}, {"Regs", "8"}});
        for (const auto& [field, keys] :
             {std::pair("Games", "3000"), std::pair("Remaining", "300")}) {
            for (const char* key = keys; *key != 0; ++key) {
                QTest::keyClick(Edit(QLatin1String(field)), *key);
                QTest::qWait(1);
            }
        }
        Settle();
        QVERIFY(window_->Live().Stopped() > 0);
        stats::EstimateInput expected;
        expected.games = 3000, expected.bigs = 12, expected.regs = 8, expected.remaining = 300;
        expected.seed = kWindowSeed;
        QVERIFY(SameEstimate(window_->ShownAnswer()->input, expected));
        const stats::EstimateAnswer answer = stats::Estimate(expected).answer.value();
        QCOMPARE(window_->ShownAnswer()->answer.posterior, answer.posterior);
    }

    void everyFieldAndFigureHasItsName() {
        // Object name and accessible name.
        const QStringList names =
            QString::fromUtf8(
                "Games 総ゲーム数|Bigs ＢＩＧ回数|Regs ＲＥＧ回数|"
                "HyperBigs ハイパーＢＩＧ回数|ArGames ＡＲゲーム数|"
                "PriorChoice 事前確率|Weight1 設定1の重み|Weight6 設定6の重み|"
                "Remaining 残りゲーム数|Rate 換金率|"
                "Basis 推定のもとにした回数|FiveOrSix 設定5・6の確率|"
                "AtLeast4 設定4以上の確率|ExpectedSetting 期待設定|"
                "Chart 設定ごとの確率とこの先の差枚数のグラフ|BigFrequency ＢＩＧ確率|"
                "RegFrequency ＲＥＧ確率|Payout 長期ＰＡＹＯＵＴ|"
                "ProjectionTitle この先の見込み|Ahead この先勝つ確率|"
                "Mean 収支の平均|P5 収支の5%点|P50 収支の中央値|"
                "P95 収支の95%点|KnownMedian 判別までのゲーム数の中央値|"
                "KnownRange 判別までのゲーム数の80%範囲|Status 状態|"
                "Seed 乱数の種")
                .split(u'|');
        for (const QString& entry : names) {
            const QString name = entry.section(u' ', 0, 0);
            QWidget* widget = window_->findChild<QWidget*>(name);
            QVERIFY2(widget != nullptr, qPrintable(name));
            QCOMPARE(test_support::AccessibleText(widget), entry.section(u' ', 1));
        }
    }

    void keyboardTabsInReadingOrderAndEscapeCloses() {
        Type({{"Weight1", "1"}});
        window_->show();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        Edit("Games")->setFocus();
        const char* order[] = {
            "Games",     "Bigs",    "Regs",    "HyperBigs", "ArGames", "PriorChoice",
            "Weight1",   "Weight2", "Weight3", "Weight4",   "Weight5", "Weight6",
            "Remaining", "Rate",    "Games"};  // the buttons wait for an answer
        for (const char* name : order) {
            QWidget* focused = QApplication::focusWidget();
            while (focused != nullptr && focused->objectName().isEmpty())
                focused = focused->parentWidget();
            QVERIFY(focused != nullptr);
            QCOMPARE(focused->objectName(), QString(name));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!window_->isVisible());
    }

    void copiesTheAnswerAndSavesThePicture() {
        Type({{"Games", "3000"}, {"Bigs", "12"}, {"Regs", "8"}});
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

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    taviro::SetUpApplication(app);
    taviro::EstimateWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "estimate_window_test.moc"
