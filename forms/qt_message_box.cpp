#include "forms/qt_message_box.h"

#include <QApplication>
#include <QMessageBox>

namespace taviro {

namespace {
QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

int QtMessageBox::Show(std::string_view text, Buttons buttons, std::string_view caption) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(FromUtf8(caption.empty() ? kProgramTitle : caption));
    box.setText(FromUtf8(text));
    if (buttons == Buttons::OkCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    box.setDefaultButton(QMessageBox::Ok);
    // The ordinary pointer over the box, also while a long command shows the wait cursor.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    QApplication::restoreOverrideCursor();
    return box.clickedButton() == box.button(QMessageBox::Ok) ? kOk : kCancel;
}

}  // namespace taviro
