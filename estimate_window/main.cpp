#include <QScreen>
#include <algorithm>
#include <thread>

#include "estimate_window/estimate_window.h"
#include "forms/image_file_dialog.h"
#include "forms/qt_message_box.h"
#include "forms/window_program.h"

int main(int argc, char* argv[]) {
    const taviro::ProgramDescription program = {
        "taviro-estimate",
        "打ったゲーム数とＢＩＧ・ＲＥＧの回数から、パチスロ機 Taviro の設定を推定します。\n"
        "入力に合わせて、設定ごとの確率、この先の収支の見込み、設定が分かるまでのゲーム数を\n"
        "示します（taviro-stats estimate と同じ計算、シード 20261206）。"};
    return taviro::RunWindowProgram(argc, argv, program, "io.github.taviro.TaviroEstimate", [] {
        taviro::QtMessageBox messages;
        taviro::QtImageFileDialog files;
        taviro::EstimateWindow window(messages, files,
                                      std::max(1u, std::thread::hardware_concurrency()));
        // No larger than the screen's free area, on small screens too.
        window.resize(window.size().boundedTo(window.screen()->availableGeometry().size() * 0.95));
        window.show();
        return QApplication::exec();
    });
}
