// What both programs set up before their first window: style, font and icon.
#pragma once

#include <QApplication>
#include <QIcon>
#include <QStringList>

namespace taviro {

// The preferred Japanese UI font among `families`: a proportional one whose glyph widths fit
// the window's designed caption sizes. Empty when none is installed.
QString PreferredUiFont(const QStringList& families);

inline constexpr double kUiFontPointSize = 8.5;

void SetUpApplication(QApplication& app);

QIcon ProgramIcon();

}  // namespace taviro
