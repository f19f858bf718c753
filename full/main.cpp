#include "core/xoshiro_source.h"
#include "datafile/file_system.h"
#include "forms/form_builder.h"
#include "forms/qt_message_box.h"
#include "forms/window_program.h"
#include "full/main_window.h"

int main(int argc, char* argv[]) {
    const taviro::ProgramDescription program = {
        "taviro",
        "パチスロ機 Taviro のシミュレーター（フル版）。設定とゲーム数を選んでシミュレートし、\n"
        "ボーナスの回数と確率、仮想出玉とＰＡＹＯＵＴ、スランプグラフと収支を示し、\n"
        "1ゲームごとの記録をデータファイル（CSV）に書き出します。"};
    return taviro::RunWindowProgram(argc, argv, program, "io.github.taviro.Taviro", [] {
        taviro::XoshiroSource source;
        taviro::QtMessageBox messages;
        taviro::PosixFileSystem files;
        taviro::MainWindow window(source, messages, files);
        // The client area opens 630 twips from the left and 720 from the top of the screen.
        window.move(0, 0);
        window.setGeometry(taviro::Pixels(630), taviro::Pixels(720), window.width(),
                           window.height());
        window.show();
        return QApplication::exec();
    });
}
