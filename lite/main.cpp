#include <QApplication>

#include "app_setup.h"
#include "lite_window.h"
#include "qt_message_box.h"
#include "uniform_source.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    taviro::SetUpApplication(app);
    taviro::ClockSeededSource source;
    taviro::QtMessageBox messages;
    taviro::LiteWindow window(source, messages);  // placed where the window system puts it
    window.show();
    return app.exec();
}
