#include "forms/app_setup.h"

#include <QFont>
#include <QFontDatabase>
#include <QStyleFactory>

#include "core/version.h"
#include "forms/form_builder.h"

namespace taviro {

QString PreferredUiFont(const QStringList& families) {
    // Proportional kana first: monospaced kana (IPAGothic, Noto Sans CJK JP) cut off several
    // captions at the designed sizes.
    static const QStringList kPreference = {"IPAPGothic", "IPAexGothic", "VL PGothic",
                                            "Noto Sans CJK JP", "IPAGothic"};
    for (const QString& family : kPreference) {
        if (families.contains(family)) return family;
    }
    return {};
}

void SetUpApplication(QApplication& app, const QString& desktopFileName) {
    app.setApplicationName(QStringLiteral("Taviro"));
    app.setApplicationVersion(ToQString(kVersion));
    if (!desktopFileName.isEmpty()) QGuiApplication::setDesktopFileName(desktopFileName);
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) app.setStyle(fusion);
    QFont font = app.font();
    const QString family = PreferredUiFont(QFontDatabase::families());
    if (!family.isEmpty()) font.setFamily(family);  // else fontconfig's Japanese fallback
    font.setPointSizeF(kUiFontPointSize);
    app.setFont(font);
    app.setWindowIcon(ProgramIcon());
}

QIcon ProgramIcon() {
    return QIcon::fromTheme(QString::fromLatin1(kIconName),
                            QIcon(QStringLiteral(":/taviro/icon.png")));
}

}  // namespace taviro
