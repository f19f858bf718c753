#include "lite/lite_window.h"

#include <QMessageBox>
#include <QtTest>

#include "core/xoshiro_source.h"
#include "forms/app_setup.h"
#include "forms/qt_message_box.h"
#include "support/accessible_names.h"
#include "support/form_fields.h"
#include "support/held_source.h"
#include "support/progress_dialog_driver.h"
#include "support/recording_message_box.h"

namespace taviro {

class LiteWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void isTheMainWindowWithoutTheTwoButtons() {
        XoshiroSource source(1);
        test_support::RecordingMessageBox messages;
        LiteWindow lite(source, messages);
        QCOMPARE(lite.objectName(), QString("Form1"));
        QVERIFY(lite.findChild<QWidget*>("ComG") == nullptr);
        QVERIFY(lite.findChild<QWidget*>("Command1") == nullptr);
        QCOMPARE(lite.Control("Frame5")->size(), QSize(321, 97));
    }

    void zeroGamesMessageHasNoFullStop() {
        XoshiroSource source(1);
        test_support::RecordingMessageBox messages;
        LiteWindow lite(source, messages);
        test_support::SetField(lite, "TexGAME", "0");
        test_support::ClickStart(lite);
        QCOMPARE(messages.Texts(), std::vector<std::string>{"シミュレート回数を指定してください"});
        QCOMPARE(lite.Text("TexPAY"), QString());
    }

    void cancelledRunKeepsTheShownResults() {
        test_support::ScriptedSource script({8000, 20000, 8000}, 100000);
        test_support::HeldSource source(script);
        test_support::FakeClock clock;
        test_support::RecordingMessageBox messages;
        LiteWindow lite(source, messages);
        lite.SetClock(clock);
        test_support::SetField(lite, "TexGAME", "3000");
        test_support::ClickStart(lite);
        std::vector<QString> before;
        for (std::string_view control : kResultControls)
            before.push_back(lite.Text(control.data()));
        const std::int32_t big = lite.State().CntNBIG;

        test_support::SetField(lite, "TexGAME", "2147483647");
        source.HoldAt(script.Consumed() + RunControl::kChunkGames);
        QVERIFY(test_support::WithProgressDialog(
            clock, [&] { test_support::ClickStart(lite); },
            [](ProgressDialog& dialog) {
                QTRY_COMPARE(test_support::DialogText(dialog, "share"),
                             QString("0%（65,536 / 2,147,483,647 ゲーム）"));
                test_support::Click(dialog.findChild<QPushButton*>());
            },
            [&] { source.Release(); }));
        std::vector<QString> after;
        for (std::string_view control : kResultControls) after.push_back(lite.Text(control.data()));
        QCOMPARE(after, before);
        QCOMPARE(lite.State().GameCount, 3000);
        QCOMPARE(lite.State().CntNBIG, big);
        QVERIFY(messages.shown.empty());
    }

    void keyboardAndScreenReaders() {
        XoshiroSource source(1);
        test_support::RecordingMessageBox messages;
        LiteWindow lite(source, messages);
        test_support::CheckMainWindowNames(lite);
        lite.show();
        QVERIFY(QTest::qWaitForWindowActive(&lite));
        lite.Control("ComStart")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!lite.Text("TexPAY").isEmpty());
        test_support::CheckMainWindowNames(lite);  // results do not rename the fields
    }

    void messageBoxButtonsAreJapanese() {
        QString ok, cancel;
        QTimer::singleShot(0, qApp, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            ok = box->button(QMessageBox::Ok)->text();
            cancel = box->button(QMessageBox::Cancel)->text();
            box->button(QMessageBox::Cancel)->click();
        });
        QtMessageBox messages;
        QCOMPARE(
            messages.Show("ファイルの上書きをしますか？", MessageBox::Buttons::OkCancel, "注意"),
            MessageBox::kCancel);
        QCOMPARE(cancel, QString("キャンセル"));
        QCOMPARE(ok, QString("OK"));
    }
};

}  // namespace taviro

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    taviro::SetUpApplication(app);
    taviro::LiteWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "lite_window_test.moc"
