// The light edition shows exactly the texts of the full edition for the same parameters and the
// same draws.
#include <QComboBox>
#include <QtTest>

#include "core/xoshiro_source.h"
#include "full/main_window.h"
#include "lite/lite_window.h"
#include "support/form_fields.h"
#include "support/recording_message_box.h"
#include "support/scripted_source.h"
#include "support/window_test_main.h"

namespace taviro {

class EditionsAgreeTest : public QObject {
    Q_OBJECT

  private slots:
    void sameTextsInEveryResultField_data() {
        QTest::addColumn<int>("setting");
        QTest::addColumn<QString>("big");  // empty: the setting's own
        QTest::addColumn<QString>("games");
        QTest::newRow("setting 6") << 6 << QString() << QString("12345");
        QTest::newRow("frequent BIGs") << 1 << QString("30") << QString("5000");
        QTest::newRow("negative count") << 1 << QString() << QString("-5");
    }
    void sameTextsInEveryResultField() {
        QFETCH(int, setting);
        QFETCH(QString, big);
        QFETCH(QString, games);
        std::vector<std::int32_t> draws(12345);
        XoshiroSource(static_cast<std::uint64_t>(setting)).FillDraws(draws);
        test_support::ScriptedSource fullSource(draws), liteSource(draws);
        test_support::RecordingMessageBox messages;
        PosixFileSystem files;
        MainWindow full(fullSource, messages, files);
        LiteWindow lite(liteSource, messages);
        for (SimulatorForm* form :
             {static_cast<SimulatorForm*>(&full), static_cast<SimulatorForm*>(&lite)}) {
            auto* combo = qobject_cast<QComboBox*>(form->Control("Combo1"));
            combo->setCurrentIndex(setting - 1);
            emit combo->activated(setting - 1);
            if (!big.isEmpty()) test_support::SetField(*form, "TexBIG", big);
            test_support::SetField(*form, "TexGAME", games);
            test_support::ClickStart(*form);
        }
        QVERIFY(messages.shown.empty());
        for (std::string_view control : kResultControls) {
            const QString name = ToQString(control);
            QCOMPARE(lite.Text(name), full.Text(name));
        }
        QVERIFY(!lite.Text("TexPAY").isEmpty());
        QVERIFY(lite.State().Balance.empty());
    }
};

}  // namespace taviro

TAVIRO_WINDOW_TEST_MAIN(taviro::EditionsAgreeTest)

#include "editions_agree_test.moc"
