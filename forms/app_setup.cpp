#include "forms/app_setup.h"

#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QStyleFactory>
#include <QTranslator>

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
    LoadQtTranslations(app);
}

bool LoadQtTranslations(QApplication& app) {
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

QIcon ProgramIcon() {
    return QIcon::fromTheme(QString::fromLatin1(kIconName),
                            QIcon(QStringLiteral(":/taviro/icon.png")));
}

}  // namespace taviro
