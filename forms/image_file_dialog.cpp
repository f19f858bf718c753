#include "forms/image_file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QImage>
#include <QSaveFile>
#include <QWidget>

#include "core/message_box.h"

namespace taviro {

QString QtImageFileDialog::AskSaveName(QWidget* parent, const QString& suggested) {
    QFileDialog dialog(parent, QStringLiteral("画像を保存"), suggested,
                       QStringLiteral("PNG 画像 (*.png)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("png"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

void SaveWindowPicture(QWidget& shown, QWidget* parent, const QString& suggested,
                       ImageFileDialog& files, MessageBox& messages) {
    const QString name = files.AskSaveName(parent, suggested);
    if (name.isEmpty()) return;
    const QImage picture = shown.grab().toImage();
    QSaveFile file(name);
    if (file.open(QIODevice::WriteOnly) && picture.save(&file, "PNG") && file.commit()) return;
    messages.Show(ImageSaveFailure(QDir::toNativeSeparators(name).toStdString(),
                                   file.errorString().toStdString()));
}

std::string ImageSaveFailure(std::string_view file, std::string_view reason) {
    return "画像を保存できませんでした。\n" + std::string(file) + ": " + std::string(reason);
}

}  // namespace taviro
