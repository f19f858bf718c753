#include <QApplication>

#include "core/xoshiro_source.h"
#include "forms/app_setup.h"
#include "forms/qt_message_box.h"
#include "lite/lite_window.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    taviro::SetUpApplication(app);
    taviro::XoshiroSource source;
    taviro::QtMessageBox messages;
    taviro::LiteWindow window(source, messages);  // placed where the window system puts it
    window.show();
    return app.exec();
}
