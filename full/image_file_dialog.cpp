#include "full/image_file_dialog.h"

#include <QFileDialog>

namespace taviro {

QString QtImageFileDialog::AskSaveName(QWidget* parent, const QString& suggested) {
    QFileDialog dialog(parent, QStringLiteral("画像を保存"), suggested,
                       QStringLiteral("PNG 画像 (*.png)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("png"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

}  // namespace taviro
