#include "command_line.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTest>
#include <QTranslator>

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void parse_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("help");
        QTest::addColumn<bool>("version");
        QTest::addColumn<bool>("service");
        QTest::addColumn<QString>("deviceLibrary");
        QTest::addColumn<QStringList>("unknown");

        QTest::newRow("nothing") << QStringList{"kkm"} << false << false << false << QString() << QStringList{};
        QTest::newRow("--help") << QStringList{"kkm", "--help"} << true << false << false << QString() << QStringList{};
        QTest::newRow("-h") << QStringList{"kkm", "-h"} << true << false << false << QString() << QStringList{};
        QTest::newRow("--help-all") << QStringList{"kkm", "--help-all"} << true << false << false << QString()
                                    << QStringList{};
        QTest::newRow("--version") << QStringList{"kkm", "--version"} << false << true << false << QString()
                                   << QStringList{};
        QTest::newRow("-v") << QStringList{"kkm", "-v"} << false << true << false << QString() << QStringList{};
        QTest::newRow("--service") << QStringList{"kkm", "--service"} << false << false << true << QString()
                                   << QStringList{};
        QTest::newRow("unknown set aside") << QStringList{"kkm", "--colour", "--service", "-x"} << false << false
                                           << true << QString() << QStringList{"colour", "x"};
        QTest::newRow("--device-library file") << QStringList{"kkm", "--device-library", "/opt/Orvel.dll"} << false
                                               << false << false << "/opt/Orvel.dll" << QStringList{};
        QTest::newRow("--device-library=file") << QStringList{"kkm", "--device-library=libOrvel.so", "--service"}
                                               << false << false << true << "libOrvel.so" << QStringList{};
    }

    void parse() {
        QFETCH(QStringList, arguments);
        const CommandLine line = parseCommandLine(arguments);
        QTEST(line.help, "help");
        QTEST(line.version, "version");
        QTEST(line.service, "service");
        QTEST(line.deviceLibrary, "deviceLibrary");
        QTEST(line.unknownOptions, "unknown");
    }

    void texts_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QStringList>("helpHas");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("foreign");

        QTest::newRow("Russian") << QLocale(QLocale::Russian, QLocale::Russia)
                                 << QStringList{"Использование:",
                                                "Параметры:",
                                                "--service",
                                                "Сервисный режим",
                                                "--version",
                                                "Показать сведения о версии",
                                                "Программа настройки ККМ",
                                                "--device-library <файл>",
                                                ".so загружается напрямую"}
                                 << "Конфигуратор ККМ, версия 1.12\n"
                                 << "Usage";
        QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedKingdom)
                                 << QStringList{"Usage:",       "Options:",  "--service",
                                                "Service mode", "--version", "KKM configurator: reads"}
                                 << "KKM configurator, version 1.12\n"
                                 << "Использование";
    }

    void texts() {
        QFETCH(QLocale, locale);
        QFETCH(QStringList, helpHas);
        QFETCH(QString, foreign);
        // As the program starts: Qt's translation for the locale, none for English.
        QLocale::setDefault(locale);
        QTranslator qt;
        if (qt.load(locale, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(&qt);

        const QString help = commandLineHelp();
        for (const QString& part : helpHas)
            QVERIFY2(help.contains(part), qPrintable(part + " not in:\n" + help));
        QVERIFY2(!help.contains(foreign), qPrintable(help));
        QTEST(versionText(), "version");
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
