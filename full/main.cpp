#include <QApplication>

#include "core/xoshiro_source.h"
#include "datafile/file_system.h"
#include "forms/app_setup.h"
#include "forms/form_builder.h"
#include "forms/qt_message_box.h"
#include "full/main_window.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    taviro::SetUpApplication(app);
    taviro::XoshiroSource source;
    taviro::QtMessageBox messages;
    taviro::PosixFileSystem files;
    taviro::MainWindow window(source, messages, files);
    // The client area opens 630 twips from the left and 720 from the top of the screen.
    window.move(0, 0);
    window.setGeometry(taviro::Pixels(630), taviro::Pixels(720), window.width(), window.height());
    window.show();
    return app.exec();
}
