#include "lite/lite_window.h"

#include <QtTest>

#include "core/xoshiro_source.h"
#include "forms/app_setup.h"
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
};

}  // namespace taviro

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    taviro::SetUpApplication(app);
    taviro::LiteWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "lite_window_test.moc"
