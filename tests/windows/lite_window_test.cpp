#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "app_setup.h"
#include "form_fields.h"
#include "lite_window.h"
#include "main_window.h"
#include "recording_message_box.h"
#include "result_texts.h"

namespace taviro {

using testing::RecordingMessageBox;

// The default generator with a fixed seed: every start replays the same sequence.
class ReplayingSource final : public UniformSource {
  public:
    explicit ReplayingSource(std::uint64_t seed) : seed_(seed), generator_(seed) {}
    void Reseed() override { generator_.Seed(seed_); }
    void Fill(std::span<float> out) override {
        for (float& value : out) value = generator_.NextFloat();
    }

  private:
    std::uint64_t seed_;
    Xoshiro256Plus generator_;
};

class LiteWindowTest : public QObject {
    Q_OBJECT

  private:
    static void Set(SimulatorForm& form, const char* name, const char* text) {
        testing::SetField(form, name, QString::fromUtf8(text));
    }
    static void Start(SimulatorForm& form) { testing::ClickStart(form); }

  private slots:
    void isTheMainWindowWithoutTheTwoButtons() {
        ReplayingSource source(1);
        RecordingMessageBox messages;
        LiteWindow lite(source, messages);
        QCOMPARE(lite.objectName(), QString("Form1"));
        QCOMPARE(lite.windowTitle(), QString("Taviro　シミュレーション"));
        QCOMPARE(lite.size(), QSize(687, 492));
        QVERIFY(lite.Control("ComG") == nullptr);
        QVERIFY(lite.Control("Command1") == nullptr);
        QVERIFY(lite.findChild<QPushButton*>("ComG") == nullptr);
        QCOMPARE(lite.Control("Frame5")->size(), QSize(321, 97));
        QCOMPARE(lite.Text("TexBIG"), QString("485.452"));
    }

    void zeroGamesMessageHasNoFullStop() {
        ReplayingSource source(1);
        RecordingMessageBox messages;
        LiteWindow lite(source, messages);
        Set(lite, "TexGAME", "0");
        Start(lite);
        QCOMPARE(messages.Texts(), std::vector<std::string>{"シミュレート回数を指定してください"});
        QCOMPARE(lite.Text("TexPAY"), QString());
    }

    void showsTheSameTextsAsTheFullEdition_data() {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("big");
        QTest::addColumn<QString>("games");
        QTest::addColumn<quint64>("seed");
        QTest::newRow("setting 1") << "1"
                                   << ""
                                   << "8000" << quint64(11);
        QTest::newRow("setting 4") << "4"
                                   << ""
                                   << "20000" << quint64(12);
        QTest::newRow("setting 6") << "6"
                                   << ""
                                   << "12345" << quint64(13);
        QTest::newRow("frequent BIGs") << "1"
                                       << "30"
                                       << "5000" << quint64(14);
        QTest::newRow("every game a BIG") << "1"
                                          << "1"
                                          << "3000" << quint64(15);
        QTest::newRow("no BIG") << "1"
                                << "0"
                                << "8000" << quint64(16);
        QTest::newRow("negative count") << "1"
                                        << ""
                                        << "-5" << quint64(17);
    }

    void showsTheSameTextsAsTheFullEdition() {
        QFETCH(QString, setting);
        QFETCH(QString, big);
        QFETCH(QString, games);
        QFETCH(quint64, seed);
        ReplayingSource fullSource(seed);
        ReplayingSource liteSource(seed);
        RecordingMessageBox messages;
        PosixFileSystem files;
        MainWindow full(fullSource, messages, files);
        LiteWindow lite(liteSource, messages);
        for (SimulatorForm* form :
             {static_cast<SimulatorForm*>(&full), static_cast<SimulatorForm*>(&lite)}) {
            auto* combo = qobject_cast<QComboBox*>(form->Control("Combo1"));
            combo->setCurrentIndex(setting.toInt() - 1);
            emit combo->activated(setting.toInt() - 1);
            if (!big.isEmpty()) Set(*form, "TexBIG", big.toUtf8().constData());
            Set(*form, "TexGAME", games.toUtf8().constData());
            Start(*form);
        }
        QVERIFY(messages.shown.empty());
        for (const ResultText& result : ResultTexts(SimulationState{})) {
            const QString name = QString::fromUtf8(result.control.data(), result.control.size());
            QCOMPARE(lite.Text(name), full.Text(name));
        }
        QCOMPARE(lite.Text("TexPAY").isEmpty(), false);
        QVERIFY(lite.State().Balance.empty());
    }

    void negativeCountShowsAnEmptyRun() {
        ReplayingSource source(1);
        RecordingMessageBox messages;
        LiteWindow lite(source, messages);
        Set(lite, "TexGAME", "-5");
        Start(lite);
        for (const char* name :
             {"TexD_BIG", "TexD_HBIG", "TexD_NBIG", "TexD_REG", "TexD_AR", "TexD_AR150",
              "TexD_AR1000", "TexD_BIG_LS", "TexG_AR", "TexST_REG"}) {
            QCOMPARE(lite.Text(name), QString("0"));
        }
        for (const char* name : {"LabP_BIG", "LabP_REG", "LabP_AR", "LabD_AR150"})
            QCOMPARE(lite.Text(name), QString());
        QCOMPARE(lite.Text("TexOUT"), QString("8"));
        QCOMPARE(lite.Text("TexPAY"), QString("47.987"));
    }

    void tenMillionGamesHideTheVirtualOut() {
        ReplayingSource source(5);
        RecordingMessageBox messages;
        LiteWindow lite(source, messages);
        Set(lite, "TexGAME", "10000000");
        Start(lite);
        QCOMPARE(lite.Text("TexOUT"), QString());
        QVERIFY(!lite.Text("TexPAY").isEmpty());
        QVERIFY(lite.State().Balance.empty());
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
