#include "core/xoshiro_source.h"
#include "forms/qt_message_box.h"
#include "forms/window_program.h"
#include "lite/lite_window.h"

int main(int argc, char* argv[]) {
    const taviro::ProgramDescription program = {
        "taviro-lite",
        "パチスロ機 Taviro のシミュレーター（ライト版）。設定とゲーム数を選んでシミュレートし、\n"
        "ボーナスの回数と確率、仮想出玉とＰＡＹＯＵＴを示します。1ゲームごとの記録を持たないので、"
        "\n"
        "2147483647 ゲームまで短いシミュレートと同じメモリで打てます。"};
    return taviro::RunWindowProgram(argc, argv, program, "io.github.taviro.TaviroLite", [] {
        taviro::XoshiroSource source;
        taviro::QtMessageBox messages;
        taviro::LiteWindow window(source, messages);  // placed where the window system puts it
        window.show();
        return QApplication::exec();
    });
}
