#include "forms/image_file_dialog.h"

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

std::string ImageSaveFailure(std::string_view file, std::string_view reason) {
    return "画像を保存できませんでした。\n" + std::string(file) + ": " + std::string(reason);
}

}  // namespace taviro
