#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "app_setup.h"
#include "form_fields.h"
#include "main_window.h"
#include "recording_message_box.h"
#include "scripted_source.h"

namespace taviro {

using testing::RecordingMessageBox;
using testing::ScriptedSource;

namespace {
constexpr std::int32_t kNothing = 100000;
constexpr std::int32_t kBigAr150 = 8000;
constexpr std::int32_t kBigAr1000 = 15600;
constexpr std::int32_t kReg = 20000;
}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private:
    RecordingMessageBox messages_;
    PosixFileSystem files_;
    std::unique_ptr<ScriptedSource> source_;
    std::unique_ptr<MainWindow> window_;

    QString Text(const char* name) const { return window_->Text(QString::fromLatin1(name)); }
    QLineEdit* Edit(const char* name) const { return testing::Field(*window_, name); }
    QComboBox* Combo() const { return qobject_cast<QComboBox*>(window_->Control("Combo1")); }
    void TypeInto(const char* name, const QString& text) {
        QLineEdit* edit = Edit(name);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    void Start() { testing::ClickStart(*window_); }
    void Script(std::vector<std::int32_t> draws) {
        source_ = std::make_unique<ScriptedSource>(std::move(draws), kNothing);
        window_ = std::make_unique<MainWindow>(*source_, messages_, files_);
    }

  private slots:
    void init() {
        messages_ = {};
        Script({});
    }

    void opensWithTheDefaults() {
        QCOMPARE(window_->objectName(), QString("Main"));
        QCOMPARE(window_->windowTitle(), QString("Taviro　シミュレーション"));
        QCOMPARE(window_->size(), QSize(687, 492));
        QCOMPARE(Combo()->currentText(), QString("1"));
        QCOMPARE(Text("TexBIG"), QString("485.452"));
        QCOMPARE(Text("TexN_BASE"), QString("-1.5603781019"));
        QCOMPARE(Text("TexD_BIG"), QString());
        QVERIFY(!window_->windowIcon().isNull());
    }

    void typingASettingAppliesItsPreset() {
        QLineEdit* edit = Combo()->lineEdit();
        edit->selectAll();
        QTest::keyClicks(edit, "2");
        QCOMPARE(Text("TexBIG"), QString("445.823"));
        QCOMPARE(Text("TexREG"), QString("799.220"));
        QTest::keyClicks(edit, "5");  // 25: not a setting
        QCOMPARE(Text("TexBIG"), QString("445.823"));

        edit->selectAll();
        QTest::keyClicks(edit, " 3");
        QCOMPARE(Text("TexBIG"), QString("412.176"));
        QCOMPARE(Text("TexREG"), QString("771.012"));

        edit->selectAll();
        QTest::keyClicks(edit, "7");
        QCOMPARE(Text("TexBIG"), QString("412.176"));
    }

    void pickingASettingOverwritesTypedProbabilities() {
        TypeInto("TexBIG", "100");
        Combo()->setFocus();
        QTest::keyClick(Combo(), Qt::Key_Down);  // picks "2" from the list
        QCOMPARE(Combo()->currentText(), QString("2"));
        QCOMPARE(Text("TexBIG"), QString("445.823"));
        Combo()->setCurrentIndex(5);
        emit Combo()->activated(5);
        QCOMPARE(Text("TexBIG"), QString("286.183"));
        QCOMPARE(Text("TexREG"), QString("720.176"));
        QCOMPARE(Text("TexGAME"), QString("8000"));
    }

    void zeroGamesShowsTheMessageAndKeepsResults() {
        TypeInto("TexGAME", "20");
        Start();
        QCOMPARE(Text("TexD_BIG"), QString("0"));
        Edit("TexD_BIG")->setText("edited");
        TypeInto("TexGAME", "0.4");
        Start();
        QCOMPARE(messages_.Texts(),
                 std::vector<std::string>{"シミュレート回数を指定してください。"});
        QCOMPARE(messages_.shown[0].buttons, MessageBox::Buttons::Ok);
        QCOMPARE(messages_.shown[0].caption, std::string());
        QCOMPARE(Text("TexD_BIG"), QString("edited"));
        QCOMPARE(window_->State().GameCount, 0);
    }

    void refusedStartsExplainWhy() {
        struct Case {
            const char* field;
            const char* text;
            const char* message;
        };
        const Case cases[] = {
            {"TexGAME", "3000000000", "シミュレートゲーム数が大きすぎます。"},
            {"TexGAME", "-1e400", "シミュレートゲーム数が大きすぎます。"},
            {"TexHBIG", "1e999", "数値が大きすぎます。"},
            {"TexBIG", "9e99999", "数値が大きすぎます。"},
        };
        for (const auto& c : cases) {
            init();
            TypeInto(c.field, c.text);
            Start();
            QCOMPARE(messages_.Texts(), std::vector<std::string>{c.message});
            QCOMPARE(Text("TexPAY"), QString());
        }
        init();
        window_->SetHistoryLimit(1000);
        Start();
        QCOMPARE(messages_.Texts(),
                 std::vector<std::string>{
                     "メモリが不足しています。シミュレートゲーム数を減らしてください。"});
        QCOMPARE(window_->State().GameCount, 0);
    }

    void scriptedRunFillsEveryResultField() {
        std::vector<std::int32_t> draws(8000, kNothing);
        draws[1 - 1] = kBigAr1000;     // AR over 2..1001
        draws[1002 - 1] = kBigAr1000;  // AR over 1003..2002
        draws[2003 - 1] = kBigAr150;   // AR over 2004..2153
        draws[2154 - 1] = kBigAr150;   // AR over 2155..2304
        draws[3000 - 1] = kReg;
        draws[4000 - 1] = kReg;
        draws[7955 - 1] = kBigAr150;  // AR over 7956..8000 and beyond
        Script(draws);
        Start();
        QVERIFY(messages_.shown.empty());
        QCOMPARE(source_->reseeds, 1);
        const std::pair<const char*, const char*> expected[] = {
            {"TexD_BIG", "5"},       {"TexD_HBIG", "0"},    {"TexD_NBIG", "5"},
            {"TexD_REG", "2"},       {"TexD_AR", "2345"},   {"LabP_BIG", "1/1600"},
            {"LabP_HBIG", "0%"},     {"LabP_NBIG", "100%"}, {"LabP_REG", "1/4000"},
            {"TexD_AR150", "3"},     {"TexD_AR1000", "2"},  {"LabD_AR150", "60%"},
            {"LabD_AR1000", "40%"},  {"TexD_BIG_LS", "0"},  {"TexD_AR150_LS", "0"},
            {"TexD_AR1000_LS", "0"}, {"TexG_AR", "105"},    {"TexST_REG", "0"},
            {"LabP_AR", "29.312%"},  {"TexOUT", "-2847"},   {"TexPAY", "88.139"},
        };
        for (const auto& [name, text] : expected) QCOMPARE(Text(name), QString::fromUtf8(text));
    }

    void runWithoutBonusesLeavesRatesEmpty() {
        Start();
        for (const char* name : {"TexD_BIG", "TexD_HBIG", "TexD_NBIG", "TexD_REG", "TexD_AR"}) {
            QCOMPARE(Text(name), QString("0"));
        }
        for (const char* name : {"LabP_BIG", "LabP_HBIG", "LabP_NBIG", "LabP_REG", "LabD_AR150",
                                 "LabD_AR1000", "LabP_AR"}) {
            QCOMPARE(Text(name), QString());
        }
        QCOMPARE(Text("TexOUT"), QString("-12483"));
        QCOMPARE(Text("TexPAY"), QString("47.987"));
    }

    void tabFollowsTheDesignedFocusOrder() {
        window_->show();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        Combo()->setFocus();
        const char* order[] = {"Combo1",         "TexD_BIG",  "ComStart",    "TexGAME",
                               "TexD_NBIG",      "TexD_HBIG", "TexD_AR150",  "TexD_AR1000",
                               "TexD_AR",        "TexD_REG",  "TexD_BIG_LS", "TexD_AR150_LS",
                               "TexD_AR1000_LS", "TexST_REG", "TexG_AR",     "TexAR_BASE",
                               "TexN_BASE",      "TexREGOUT", "TexHBIG",     "TexNBIG",
                               "TexREG",         "TexBIG",    "TexOUT",      "TexPAY",
                               "ComG",           "Command1",  "Combo1"};
        for (const char* name : order) {
            QWidget* focused = QApplication::focusWidget();
            while (focused != nullptr && focused->objectName().isEmpty())
                focused = focused->parentWidget();
            QVERIFY(focused != nullptr);
            QCOMPARE(focused->objectName(), QString(name));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
    }

    void longTextsShowTheirStart() {
        QCOMPARE(Edit("TexN_BASE")->cursorPosition(), 0);
        Start();
        QCOMPARE(Edit("TexPAY")->cursorPosition(), 0);
    }

    void dataFileButtonWritesTheRunAndTheShownTexts() {
        const QString previous = QDir::currentPath();
        QTemporaryDir directory;
        QVERIFY(QDir::setCurrent(directory.path()));
        TypeInto("TexGAME", "10");
        Start();
        Edit("TexOUT")->setText("編集済み");
        QTest::mouseClick(qobject_cast<QPushButton*>(window_->Control("Command1")), Qt::LeftButton);
        QCOMPARE(messages_.Texts(), std::vector<std::string>{"保存終了しました。"});
        QFile file(directory.filePath("Taviro1.csv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes.count("\r\n"), 11);
        // "編集済み" in code page 932, between quotes in the heading line.
        QVERIFY(bytes.contains("\"\x95\xd2\x8f\x57\x8d\xcf\x82\xdd\""));
        QVERIFY(QDir::setCurrent(previous));
    }

    void closingEndsTheProgram() {
        window_->show();
        QSignalSpy quitting(qApp, &QCoreApplication::aboutToQuit);
        QTimer::singleShot(0, window_.get(), [this] { window_->close(); });
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });  // a guard, not a wait
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(!window_->isVisible());
    }
};

}  // namespace taviro

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    taviro::SetUpApplication(app);
    taviro::MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "main_window_test.moc"
