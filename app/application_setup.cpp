#include "application_setup.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void setUpApplication(QCoreApplication& app) {
    QCoreApplication::setApplicationName(QStringLiteral("kkm-configurator"));
    // The desktop matches the window to its menu entry by this name; the icon is the installed one.
    QGuiApplication::setDesktopFileName(QStringLiteral(KKM_APP_ID));
    QGuiApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("kkm-configurator")));
    loadQtTranslation(app, QLocale());
}

bool loadQtTranslation(QCoreApplication& app, const QLocale& locale) {
    auto* translator = new QTranslator(&app);
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}
