#include "full/main_window.h"

#include <QComboBox>
#include <QtTest>

#include "support/accessible_names.h"
#include "support/form_fields.h"
#include "support/held_source.h"
#include "support/progress_dialog_driver.h"
#include "support/recording_message_box.h"
#include "support/run_fields.h"
#include "support/scripted_source.h"
#include "support/window_test_main.h"

namespace taviro {

using test_support::DialogText;
using test_support::RecordingMessageBox;
using test_support::ScriptedSource;

namespace {
constexpr std::int32_t kNothing = 100000;
constexpr std::int32_t kBigAr150 = 8000;
constexpr std::int32_t kBigAr1000 = 15600;
constexpr std::int32_t kReg = 20000;

// Two ARs of each kind, REGs, and an AR that runs past the end of 8000 games.
std::vector<std::int32_t> SomeBonuses() {
    std::vector<std::int32_t> draws(8000, kNothing);
    for (int game : {1, 1002}) draws[game - 1] = kBigAr1000;
    for (int game : {2003, 2154, 7955}) draws[game - 1] = kBigAr150;
    for (int game : {3000, 4000}) draws[game - 1] = kReg;
    return draws;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private:
    RecordingMessageBox messages_;
    PosixFileSystem files_;
    std::unique_ptr<ScriptedSource> source_;
    std::unique_ptr<test_support::HeldSource> held_;
    test_support::FakeClock clock_;
    std::unique_ptr<MainWindow> window_;

    QString Text(const char* name) const { return window_->Text(QString::fromLatin1(name)); }
    QComboBox* Combo() const { return qobject_cast<QComboBox*>(window_->Control("Combo1")); }
    void TypeInto(QLineEdit* edit, const QString& text) {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    void TypeInto(const char* name, const QString& text) {
        TypeInto(test_support::Field(*window_, name), text);
    }
    void Start() { test_support::ClickStart(*window_); }
    void Script(std::vector<std::int32_t> draws) {
        window_.reset();
        source_ = std::make_unique<ScriptedSource>(std::move(draws), kNothing);
        held_ = std::make_unique<test_support::HeldSource>(*source_);
        window_ = std::make_unique<MainWindow>(*held_, messages_, files_);
        window_->SetClock(clock_);
    }
    QStringList ShownResults() const { return test_support::ShownResults(*window_); }

  private slots:
    void init() {
        messages_ = {};
        Script({});
    }

    void typingOrPickingASettingAppliesItsPreset() {
        TypeInto(Combo()->lineEdit(), "2");
        QCOMPARE(Text("TexBIG"), QString("445.823"));
        TypeInto("TexBIG", "100");
        Combo()->setCurrentIndex(0);
        Combo()->setFocus();
        QTest::keyClick(Combo(), Qt::Key_Down);  // picks "2" from the list
        QCOMPARE(Text("TexBIG"), QString("445.823"));
        QCOMPARE(Text("TexREG"), QString("799.220"));
    }

    void zeroGamesShowsTheMessageAndKeepsResults() {
        TypeInto("TexGAME", "20");
        Start();
        QCOMPARE(Text("TexD_BIG"), QString("0"));
        test_support::SetField(*window_, "TexD_BIG", "edited");
        TypeInto("TexGAME", "0.4");
        Start();
        QCOMPARE(messages_.Texts(),
                 std::vector<std::string>{"シミュレート回数を指定してください。"});
        QCOMPARE(messages_.shown[0].caption, std::string());
        QCOMPARE(Text("TexD_BIG"), QString("edited"));
        QCOMPARE(window_->State().GameCount, 0);
    }

    void scriptedRunFillsEveryResultField() {
        Script(SomeBonuses());
        Start();
        QVERIFY(messages_.shown.empty());
        QCOMPARE(source_->reseeds, 1);
        QCOMPARE(Text("TexPAY"), QString("88.139"));
        QCOMPARE(ShownResults(), test_support::ResultTextsOf(window_->State()));
        // A screen reader tells each field by its caption, and each value shown in a label.
        test_support::CheckAccessibleNames(*window_, MainFormLayout());
        // Long texts show their start.
        QCOMPARE(test_support::Field(*window_, "TexN_BASE")->cursorPosition(), 0);
    }

    void tabFollowsTheDesignedFocusOrder() {
        window_->show();
        QVERIFY(QTest::qWaitForWindowActive(window_.get(), 30000));
        QStringList order;
        for (std::string_view name : MainFormLayout().focusOrder) order << ToQString(name);
        order << order.front();
        Combo()->setFocus();
        QCOMPARE(test_support::TabChain(order.size()), order);
    }

    void cancelledRunLeavesEverythingAsItWas() {
        Script(SomeBonuses());
        Start();
        window_->ComG_Click();
        const QStringList results = ShownResults();
        const SimulationState before = window_->State();
        const QString money = window_->LoadedGraph()->Text("LabPlus");

        TypeInto("TexGAME", "1000000");
        const std::size_t start = source_->Consumed();
        held_->HoldAt(start);  // once the history is prepared, before the first game
        std::size_t historyDuringRun = 1;
        QVERIFY(test_support::WithProgressDialog(
            clock_, [this] { Start(); },
            [&](ProgressDialog& dialog) {
                historyDuringRun = window_->State().History.Bytes();
                // Keys and clicks meanwhile are dropped, not queued.
                QTest::keyClicks(test_support::Field(*window_, "TexREG"), "9");
                Start();
                // The pace counts from the first game: 65536 games one second after it.
                QCOMPARE(DialogText(dialog, "pace"), QString("準備しています…"));
                held_->HoldAt(start + RunControl::kChunkGames);
                QTRY_COMPARE_WITH_TIMEOUT(DialogText(dialog, "share"),
                                          QString("6%（65,536 / 1,000,000 ゲーム）"), 60000);
                clock_.Advance(1.0);
                QTRY_COMPARE_WITH_TIMEOUT(DialogText(dialog, "pace"), QString("毎秒 65,536 ゲーム"),
                                          60000);
                QTest::keyClick(&dialog, Qt::Key_Escape);
            },
            [this] { held_->Release(); }));
        QCOMPARE(historyDuringRun, std::size_t{0});  // the old history made room for the new

        QVERIFY(test_support::ShownProgressDialog() == nullptr);
        QVERIFY(messages_.shown.empty());
        QCOMPARE(ShownResults(), results);
        QCOMPARE(Text("TexREG"), QString("829.570"));
        QCOMPARE(window_->LoadedGraph()->Text("LabPlus"), money);
        QCOMPARE(test_support::RunDifference(window_->State(), before), std::string());
    }

    void startThatLosesTheLastRunLeavesNoStaleResults() {
        TypeInto("TexGAME", "20");
        Start();
        window_->ComG_Click();
        window_->SetHistoryAllocator(
            [](SimulationState&, std::size_t, const RunControl*) { return false; });
        TypeInto("TexGAME", "30");
        Start();
        QCOMPARE(messages_.Texts(),
                 std::vector<std::string>{
                     "メモリが不足しています。シミュレートゲーム数を減らしてください。"});
        QCOMPARE(ShownResults(), QStringList(kResultCount, QString()));
        QCOMPARE(window_->LoadedGraph()->Text("LabOUT"), QString());
        QCOMPARE(test_support::AccessibleText(window_->LoadedGraph(), QAccessible::Description),
                 QString("グラフはまだ描かれていません"));
        window_->ComG_Click();
        QCOMPARE(messages_.Texts().back(), std::string("まずシミュレートを実行してください。"));
    }

    void enterClicksTheFocusedButtonAndTheDataFileHasTheShownTexts() {
        const test_support::TemporaryWorkingDirectory folder;
        window_->show();
        QVERIFY(QTest::qWaitForWindowActive(window_.get(), 30000));
        auto press = [this](const char* button) {
            window_->Control(button)->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        };
        TypeInto("TexGAME", "10");
        press("ComStart");
        QCOMPARE(Text("TexD_BIG"), QString("0"));
        press("ComG");
        QVERIFY(window_->LoadedGraph()->isVisible());
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get(), 30000));
        test_support::SetField(*window_, "TexOUT", "編集済み");
        press("Command1");
        QCOMPARE(messages_.Texts(), std::vector<std::string>{"保存終了しました。"});
        QFile file(folder.FilePath("Taviro1.csv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        // The shown "編集済み" in code page 932, between quotes in the heading line.
        QVERIFY(bytes.contains("\"\x95\xd2\x8f\x57\x8d\xcf\x82\xdd\""));
    }

    void builderRefusesAControlBeforeItsGroupBox() {
        const ControlLayout controls[] = {
            {"Label1", -1, ControlKind::Label, "Frame1", "x", 0, 0, 100, 100},
            {"Frame1", -1, ControlKind::Frame, "", "", 0, 0, 1000, 1000},
        };
        const FormLayout layout = {"Bad", "", 2000, 2000, controls, {}};
        QWidget window;
        const auto windows = QApplication::topLevelWidgets().count();
        QVERIFY_THROWS_EXCEPTION(std::logic_error, BuildForm(window, layout, true));
        QCOMPARE(QApplication::topLevelWidgets().count(), windows);  // no stray window
    }
};

}  // namespace taviro

TAVIRO_WINDOW_TEST_MAIN(taviro::MainWindowTest)

#include "main_window_test.moc"
