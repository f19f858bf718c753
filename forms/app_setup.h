// What both programs set up before their first window: style, font, icon and the Japanese texts of
// Qt's own dialogs.
#pragma once

#include <QApplication>
#include <QIcon>
#include <QStringList>

namespace taviro {

// The preferred Japanese UI font among `families`: a proportional one whose glyph widths fit
// the window's designed caption sizes. Empty when none is installed.
QString PreferredUiFont(const QStringList& families);

inline constexpr double kUiFontPointSize = 8.5;

// Style, font and icon; `desktopFileName` (the desktop entry's name without ".desktop") lets the
// desktop match the program's windows to its entry.
void SetUpApplication(QApplication& app, const QString& desktopFileName = {});

// Loads Qt's Japanese translations (standard buttons, file dialogs) from Qt's translations folder;
// false when they are not installed, and the buttons then keep Qt's built-in texts.
bool LoadQtTranslations(QApplication& app);

// The name of the programs' icon in the icon theme (installed in the hicolor theme).
inline constexpr char kIconName[] = "io.github.taviro.Taviro";

// The installed icon from the theme, or the built-in one when it is not installed.
QIcon ProgramIcon();

}  // namespace taviro
