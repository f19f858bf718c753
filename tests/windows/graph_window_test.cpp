#include "full/graph_window.h"

#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QtTest>

#include "core/graph_description.h"
#include "full/graph_form_layout.h"
#include "full/main_window.h"
#include "support/accessible_names.h"
#include "support/form_fields.h"
#include "support/held_source.h"
#include "support/progress_dialog_driver.h"
#include "support/recording_message_box.h"
#include "support/scripted_source.h"
#include "support/window_test_main.h"

namespace taviro {

using test_support::RecordingMessageBox;
using test_support::ScriptedSource;

// Answers the file dialog with `answer` (empty: cancelled).
class AnsweringImageDialog final : public ImageFileDialog {
  public:
    QString AskSaveName(QWidget*, const QString&) override { return answer; }
    QString answer;
};

class GraphWindowTest : public QObject {
    Q_OBJECT

  private:
    RecordingMessageBox messages_;
    AnsweringImageDialog imageFiles_;
    PosixFileSystem files_;
    std::unique_ptr<ScriptedSource> source_;
    std::unique_ptr<test_support::HeldSource> held_;
    test_support::FakeClock clock_;
    std::unique_ptr<MainWindow> main_;

    void SetField(const char* name, const QString& text) {
        test_support::SetField(*main_, name, text);
    }
    void Run(const QString& games, const QString& baseN = QStringLiteral("-1.5603781019")) {
        SetField("TexGAME", games);
        SetField("TexN_BASE", baseN);
        main_->Comstart_Click();
    }
    GraphWindow* Graph() const { return main_->LoadedGraph(); }
    QLineEdit* RateEdit() const {
        return qobject_cast<QComboBox*>(Graph()->Control("TexKankin"))->lineEdit();
    }
    static bool IsBlack(const QImage& image, int x, int y) {
        return image.pixelColor(x, y) == QColor(Qt::black);
    }
    void ProcessDeletions() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    QString Description() const {
        return test_support::AccessibleText(Graph(), QAccessible::Description);
    }
    // Picks an entry of the graph's context menu.
    bool Choose(const char* entry) const {
        for (QAction* action : Graph()->ContextMenu()->actions()) {
            if (action->text() != QString::fromUtf8(entry)) continue;
            action->trigger();
            return true;
        }
        return false;
    }
    // The surface's pixels under the plot area, and the curve's pixels outside them.
    QRect ImagePlot() const {
        const qreal r = Graph()->Surface().devicePixelRatio();
        const QRect plot = Graph()->PlotArea();
        return QRect(plot.topLeft() * r, (plot.bottomRight() + QPoint(1, 1)) * r - QPoint(1, 1));
    }
    int PixelsOutsidePlot() const {
        const QImage& surface = Graph()->Surface();
        int outside = 0;
        for (int y = 0; y < surface.height(); ++y)
            for (int x = 0; x < surface.width(); ++x)
                outside += qAlpha(surface.pixel(x, y)) != 0 && !ImagePlot().contains(x, y);
        return outside;
    }

  private slots:
    void init() {
        messages_ = {};
        source_ = std::make_unique<ScriptedSource>(std::vector<std::int32_t>{}, 100000);
        held_ = std::make_unique<test_support::HeldSource>(*source_);
        main_ = std::make_unique<MainWindow>(*held_, messages_, files_);
        main_->SetClock(clock_);
        main_->SetImageFileDialog(imageFiles_);
    }
    void cleanup() {
        main_.reset();
        ProcessDeletions();
    }

    void graphBeforeAnyRunOnlyShowsAMessage() {
        main_->ComG_Click();
        QCOMPARE(messages_.Texts(),
                 std::vector<std::string>{"まずシミュレートを実行してください。"});
        QVERIFY(Graph() == nullptr);
        Run("3");  // the first results create the window, hidden, with the summary
        QVERIFY(Graph() != nullptr);
        QVERIFY(!Graph()->isVisible());
        QCOMPARE(Graph()->Text("LabMin"), QString("1千円"));
        test_support::CheckAccessibleNames(*Graph(), GraphFormLayout());
        // Every caption of both windows is readable in full.
        for (QLabel* label : Graph()->findChildren<QLabel*>() + main_->findChildren<QLabel*>()) {
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                     qPrintable(label->objectName() + " " + label->text()));
        }
    }

    void curveIsPaintedAfterHidingAndRedrawnOnAClickOnly() {
        Run("3", "-150");  // balances -150, -300, -450: y = 5075, 5150, 5225 twips
        main_->ComG_Click();
        QVERIFY(Graph()->isVisible());
        QVERIFY(IsBlack(Graph()->Surface(), 67, 340));
        Graph()->hide();
        Graph()->show();
        QVERIFY(IsBlack(Graph()->grab().toImage(), 67, 340));
        Run("3", "150");                                // now above the zero line
        QVERIFY(IsBlack(Graph()->Surface(), 67, 348));  // a new run does not redraw
        QTest::mouseClick(Graph(), Qt::LeftButton, {}, QPoint(400, 600));  // a click does
        QVERIFY(!IsBlack(Graph()->Surface(), 67, 348));
        QVERIFY(IsBlack(Graph()->Surface(), 67, 318));
    }

    void rateEditsRecomputeOnEveryKeystroke() {
        Run("100", "40");  // 4000 coins, never below 0: 4050 coins with the one note
        RateEdit()->clear();
        SetField("TexD_BIG", "edited");
        QTest::keyClicks(RateEdit(), "7.6");
        QCOMPARE(main_->Text("TexD_BIG"), QString("0"));  // the results display ran
        QCOMPARE(Graph()->Text("LabPlus"), QString("52.3千円"));
        // A rate that reads as 0 keeps the net result but rewrites everything else.
        Graph()->ShowSummary({"", "", std::string("kept")});
        RateEdit()->selectAll();
        QTest::keyClick(RateEdit(), Qt::Key_Delete);
        QCOMPARE(Graph()->Text("LabPlus"), QString("kept"));
        QCOMPARE(Graph()->Text("LabOUT"), QString("4050枚"));
        // Picking from the list recomputes too.
        auto* rate = qobject_cast<QComboBox*>(Graph()->Control("TexKankin"));
        rate->setCurrentIndex(0);
        QTest::keyClick(rate, Qt::Key_Down);                      // picks 6
        QCOMPARE(Graph()->Text("LabPlus"), QString("66.5千円"));  // 4050 / 6 / 10 - 1
    }

    void escapeClosesTheGraphWhichComesBackInItsInitialState() {
        Run("3");
        main_->ComG_Click();
        RateEdit()->setText("8");
        QVERIFY(Choose("全体を表示"));  // a window opened again draws at the designed scale
        QVERIFY(QTest::qWaitForWindowActive(Graph(), 30000));
        QTest::keyClick(Graph(), Qt::Key_Escape);
        ProcessDeletions();
        QVERIFY(Graph() == nullptr);
        main_->ComG_Click();
        QVERIFY(Graph()->isVisible());
        QCOMPARE(Graph()->RateText(), QString("5"));
        QCOMPARE(Graph()->Text("LabMin"), QString());
        QCOMPARE(Graph()->Text("LabPlus"), QString());
        QVERIFY(IsBlack(Graph()->Surface(), 67, 333));
        main_->Kekka();
        QCOMPARE(Graph()->Text("LabPlus"), QString("-0.1千円"));
        QPointer<GraphWindow> graph = Graph();  // closing the main window closes it too
        main_->close();
        ProcessDeletions();
        QVERIFY(graph.isNull());
    }

    void rerunCanBeCancelledOrRefusedAndDraws() {
        Run("3", "-150");
        main_->ComG_Click();
        const QString description = Description();
        QCOMPARE(description, QString("3ゲームの差枚数の推移：最終 -450枚、最低 -450枚"));
        SetField("TexGAME", "200000");
        held_->HoldAt(source_->Consumed() + 512);
        QWidget* owner = nullptr;
        QVERIFY(test_support::WithProgressDialog(
            clock_, [this] { test_support::Click(Graph()->Control("Comonemore")); },
            [&](ProgressDialog& dialog) {
                owner = dialog.parentWidget();
                QTest::keyClick(Graph(), Qt::Key_Escape);  // dropped while the run is under way
                test_support::Click(dialog.findChild<QPushButton*>());
            },
            [this] { held_->Release(); }));
        QCOMPARE(owner, Graph());
        QVERIFY(Graph()->isVisible());
        QCOMPARE(main_->State().GameCount, 3);
        QCOMPARE(Description(), description);
        SetField("TexGAME", "0");
        test_support::Click(Graph()->Control("Comonemore"));
        QCOMPARE(messages_.Texts(),
                 (std::vector<std::string>{"シミュレート回数を指定してください。",
                                           "まずシミュレートを実行してください。"}));
        QVERIFY(IsBlack(Graph()->Surface(), 67, 340));  // the old curve stays
        SetField("TexGAME", "5");
        test_support::Click(Graph()->Control("Comonemore"));
        QCOMPARE(main_->State().GameCount, 5);
        QVERIFY(IsBlack(Graph()->Surface(), 67, 358));  // game 5: y = 5375 twips
    }

    void curveStaysInsideThePlotArea() {
        // Also run under QT_SCALE_FACTOR=2 (a test of its own): the curve is then drawn at twice
        // the pixels instead of being scaled up.
        Run("20000", "2");  // 2 coins a game: past the designed grid's top and right end
        main_->ComG_Click();
        const QImage& surface = Graph()->Surface();
        const qreal r = Graph()->devicePixelRatioF();
        QCOMPARE(surface.size(), Graph()->size() * r);
        QCOMPARE(PixelsOutsidePlot(), 0);
        QVERIFY(IsBlack(surface, qRound(67 * r), qRound(333 * r)));  // game 0

        QVERIFY(Choose("全体を表示"));
        QCOMPARE(PixelsOutsidePlot(), 0);
        const QRect plot = ImagePlot();
        QVERIFY(IsBlack(surface, plot.left(), plot.bottom()));  // game 0, the lowest balance
        QVERIFY(IsBlack(surface, plot.right(), plot.top()));    // the last game, the highest
    }

    void chosenScaleHoldsUntilChanged() {
        Run("3", "-150");
        main_->ComG_Click();
        const QPoint free(400, 560);
        QContextMenuEvent event(QContextMenuEvent::Mouse, free, Graph()->mapToGlobal(free));
        QApplication::sendEvent(Graph(), &event);
        QVERIFY(Graph()->ContextMenu()->isVisible());
        Graph()->ContextMenu()->hide();
        QVERIFY(Choose("全体を表示"));
        Run("5", "-150");
        QTest::mouseClick(Graph(), Qt::LeftButton, {}, free);
        QVERIFY(Description().startsWith("5ゲームの差枚数の推移（全体）"));
        SetField("TexGAME", "20000");
        test_support::Click(Graph()->Control("Comonemore"));
        QVERIFY(Description().startsWith("20000ゲームの差枚数の推移（全体）"));
        QVERIFY(!Graph()->Control("Label2(3)")->isVisible());
        QVERIFY(Choose("標準の目盛り"));
        QVERIFY(Description().startsWith("20000ゲームの差枚数の推移（表示は最初の10000ゲーム）"));
        QVERIFY(Graph()->Control("Label2(3)")->isVisible());
    }

    void savesThePictureAsPng() {
        Run("3", "-150");
        main_->ComG_Click();
        QTemporaryDir dir;
        const QString saved = dir.filePath("グラフ.png"), missing = dir.filePath("なし/グラフ.png");
        for (const QString& answer : {saved, QString(), missing}) {  // QString(): cancelled
            imageFiles_.answer = answer;
            QVERIFY(Choose("画像を保存..."));
        }
        const QImage picture(saved, "PNG");
        QCOMPARE(picture.size(), Graph()->size());
        QVERIFY(IsBlack(picture, 67, 340));
        QCOMPARE(messages_.Texts().size(), 1u);
        QVERIFY(messages_.Texts()[0].starts_with(ImageSaveFailure(missing.toStdString(), "")));
    }
};

}  // namespace taviro

TAVIRO_WINDOW_TEST_MAIN(taviro::GraphWindowTest)

#include "graph_window_test.moc"
