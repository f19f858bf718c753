// Asks where to save a picture: the platform's file dialog behind a small interface, so that
// tests answer it without a dialog; saving a window's picture there; and the message of a
// picture that could not be saved.
#pragma once

#include <QString>
#include <string>
#include <string_view>

class QWidget;

namespace taviro {

class MessageBox;

class ImageFileDialog {
  public:
    virtual ~ImageFileDialog() = default;
    // The PNG file to write, suggesting `suggested`; empty when the user cancels.
    virtual QString AskSaveName(QWidget* parent, const QString& suggested) = 0;
};

// A modal save dialog that adds ".png" to a name without it and asks before replacing a file.
class QtImageFileDialog final : public ImageFileDialog {
  public:
    QString AskSaveName(QWidget* parent, const QString& suggested) override;
};

// Asks for a file name, suggesting `suggested`, and writes what `shown` shows there as PNG,
// replacing an old file only once the new one is whole; tells `messages` when it cannot.
void SaveWindowPicture(QWidget& shown, QWidget* parent, const QString& suggested,
                       ImageFileDialog& files, MessageBox& messages);

// "画像を保存できませんでした。\n<file>: <reason>".
std::string ImageSaveFailure(std::string_view file, std::string_view reason);

}  // namespace taviro
