#include "lite/lite_window.h"

#include <QMessageBox>
#include <QtTest>

#include "core/xoshiro_source.h"
#include "forms/app_setup.h"
#include "forms/qt_message_box.h"
#include "support/accessible_names.h"
#include "support/form_fields.h"
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
