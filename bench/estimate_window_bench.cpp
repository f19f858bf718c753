// How closely the estimate window's answer follows typing, printed for the record. Each round
// types a new remaining-games count into the window for 3000 games, 12 BIG and 8 REG, one key
// every `gap` milliseconds as a player types, and measures
//  - the time from the last keystroke to the answer shown (the pause before reading the fields,
//    then the estimate on its own thread), against the estimate alone;
//  - the longest the window's thread went without handling its events, from the first keystroke
//    to the answer (a timer asks every millisecond).
// Usage: QT_QPA_PLATFORM=offscreen estimate_window_bench [rounds, default 10] [gap ms, default 100]
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "estimate_window/estimate_window.h"
#include "forms/app_setup.h"

namespace {

using namespace taviro;

class NoMessages final : public MessageBox {
  public:
    int Show(std::string_view, Buttons, std::string_view) override { return kOk; }
};
class NoFiles final : public ImageFileDialog {
  public:
    QString AskSaveName(QWidget*, const QString&) override { return {}; }
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    SetUpApplication(app);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const int gap = argc > 2 ? std::max(0, std::atoi(argv[2])) : 100;
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    NoMessages messages;
    NoFiles files;
    EstimateWindow window(messages, files, threads);
    window.show();
    const auto field = [&](const char* name) {
        return window.findChild<QLineEdit*>(QLatin1String(name));
    };
    field("Games")->setText(QStringLiteral("3000"));
    field("Bigs")->setText(QStringLiteral("12"));
    field("Regs")->setText(QStringLiteral("8"));

    QElapsedTimer clock;
    clock.start();
    qint64 lastTick = 0, worstGap = 0;
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, &app, [&] {
        const qint64 now = clock.nsecsElapsed();
        worstGap = std::max(worstGap, now - lastTick);
        lastTick = now;
    });
    ticker.start();

    std::vector<double> follow, alone, stalls;
    for (int round = 0; round < rounds; ++round) {
        const std::string remaining = std::to_string(2000 + round);
        QLineEdit* edit = field("Remaining");
        edit->clear();
        QTest::qWait(gap);
        lastTick = clock.nsecsElapsed();
        worstGap = 0;
        for (char key : remaining) {
            QTest::qWait(gap);
            QTest::keyClick(edit, key);
        }
        const qint64 typed = clock.nsecsElapsed();
        const auto answered = [&] {
            return window.Settled() && window.ShownAnswer() &&
                   window.ShownAnswer()->input.remaining == std::stoll(remaining);
        };
        while (!answered()) QTest::qWait(1);
        follow.push_back(static_cast<double>(clock.nsecsElapsed() - typed) / 1e6);
        stalls.push_back(static_cast<double>(worstGap) / 1e6);

        const stats::EstimateInput input = window.ShownAnswer()->input;
        std::thread([&] {
            const qint64 start = clock.nsecsElapsed();
            (void)stats::Estimate(input, threads);
            alone.push_back(static_cast<double>(clock.nsecsElapsed() - start) / 1e6);
        }).join();
    }
    std::printf(
        "estimate window, 3000 games 12 BIG 8 REG, remaining 2000+: %d rounds, a key every "
        "%d ms, %u threads\n",
        rounds, gap, threads);
    std::printf("  last keystroke to answer shown: median %.0f ms, longest %.0f ms\n",
                Median(follow), *std::max_element(follow.begin(), follow.end()));
    std::printf("  the estimate alone:             median %.0f ms, longest %.0f ms\n",
                Median(alone), *std::max_element(alone.begin(), alone.end()));
    std::printf(
        "  longest the window's thread went without its events: median %.1f ms, "
        "longest %.1f ms\n",
        Median(stalls), *std::max_element(stalls.begin(), stalls.end()));
    std::printf("  estimates stopped by a newer input: %lld\n",
                static_cast<long long>(window.Live().Stopped()));
    return 0;
}
