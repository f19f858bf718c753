#include "lite/lite_window.h"

#include <QMessageBox>
#include <QtTest>

#include "core/xoshiro_source.h"
#include "forms/qt_message_box.h"
#include "support/accessible_names.h"
#include "support/form_fields.h"
#include "support/recording_message_box.h"
#include "support/window_test_main.h"

namespace taviro {

class LiteWindowTest : public QObject {
    Q_OBJECT

    XoshiroSource source_{1};
    test_support::RecordingMessageBox messages_;
    std::unique_ptr<LiteWindow> lite_;

  private slots:
    void init() { lite_ = std::make_unique<LiteWindow>(source_, messages_); }
    void cleanup() {
        lite_.reset();
        messages_ = {};
    }

    void zeroGamesMessageHasNoFullStop() {
        test_support::SetField(*lite_, "TexGAME", "0");
        test_support::ClickStart(*lite_);
        QCOMPARE(messages_.Texts(), std::vector<std::string>{"シミュレート回数を指定してください"});
        QCOMPARE(lite_->Text("TexPAY"), QString());
    }

    // The full edition shows the same texts of the same run: both write the window-free texts.
    void keyboardRunFillsEveryResultFieldWithoutHistory() {
        lite_->show();
        QVERIFY(QTest::qWaitForWindowActive(lite_.get(), 30000));
        lite_->Control("ComStart")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!lite_->Text("TexPAY").isEmpty());
        QVERIFY(lite_->State().History.Empty());
        QCOMPARE(test_support::ShownResults(*lite_), test_support::ResultTextsOf(lite_->State()));
        test_support::CheckAccessibleNames(*lite_, MainFormLayout());  // kept after a run
        QVERIFY(!lite_->findChild<QWidget*>("ComG"));
        QVERIFY(!lite_->findChild<QWidget*>("Command1"));
    }

    void messageBoxButtonsAreJapanese() {
        QString cancel;
        QTimer::singleShot(0, qApp, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            cancel = box->button(QMessageBox::Cancel)->text();
            box->button(QMessageBox::Cancel)->click();
        });
        QtMessageBox messages;
        QCOMPARE(
            messages.Show("ファイルの上書きをしますか？", MessageBox::Buttons::OkCancel, "注意"),
            MessageBox::kCancel);
        QCOMPARE(cancel, QString("キャンセル"));
    }
};

}  // namespace taviro

TAVIRO_WINDOW_TEST_MAIN(taviro::LiteWindowTest)

#include "lite_window_test.moc"
