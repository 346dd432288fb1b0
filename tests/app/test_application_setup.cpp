#include "application_setup.h"

#include <QApplication>
#include <QLocale>
#include <QTest>

class TestApplicationSetup : public QObject {
    Q_OBJECT

private slots:
    // Standard dialogs and buttons speak Russian under a Russian locale.
    void qtSpeaksRussian() {
        QVERIFY(loadQtTranslation(*qApp, QLocale(QLocale::Russian, QLocale::Russia)));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
        QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Перейти к:"));
    }

    // A display name would be appended to every window title on Linux: "Ошибка — Программа …".
    void windowTitlesStayAsGiven() {
        setUpApplication(*qApp);
        QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("kkm-configurator"));
    }
};

QTEST_MAIN(TestApplicationSetup)
#include "test_application_setup.moc"
