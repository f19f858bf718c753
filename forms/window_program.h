// What every window program's main() does around its window: answer --help and --version (before
// any display is needed), set the application up, and run until the window closes.
#pragma once

#include <QApplication>
#include <QString>

#include "forms/app_setup.h"
#include "forms/command_line.h"

namespace taviro {

// `showWindow` makes the program's window and its services, shows it, and returns
// QApplication::exec(), so that they live as long as the event loop runs.
template <class ShowWindow>
int RunWindowProgram(int argc, char* argv[], const ProgramDescription& program,
                     const QString& desktopFileName, ShowWindow&& showWindow) {
    if (const auto status = HandleCommandLine(argc, argv, program)) return *status;
    QApplication app(argc, argv);
    SetUpApplication(app, desktopFileName);
    return showWindow();
}

}  // namespace taviro
