#include "command_line.h"

#include <QTest>

class TestDeviceLibraryOption : public QObject {
    Q_OBJECT

private slots:
    void takesTheFileNamed_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("file");
        QTest::newRow("absent") << QStringList{"kkm"} << QString();
        QTest::newRow("separate value") << QStringList{"kkm", "--device-library", "/opt/Orvel.dll"} << "/opt/Orvel.dll";
        QTest::newRow("with equals sign") << QStringList{"kkm", "--device-library=libOrvel.so", "--service"}
                                          << "libOrvel.so";
    }

    void takesTheFileNamed() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, file);
        const CommandLine options = parseCommandLine(arguments);
        QCOMPARE(options.deviceLibrary, file);
        QVERIFY(options.unknownOptions.isEmpty());
    }

    void helpNamesTheOptionAndItsValue() {
        const QString help = commandLineHelp(QStringLiteral("kkm-configurator"));
        const QString line = help.section('\n', -2, -2);
        QVERIFY2(line.trimmed().startsWith(QStringLiteral("--device-library <файл>")), qPrintable(help));
        QVERIFY(line.contains(QStringLiteral(".so загружается напрямую")));
        QVERIFY(line.contains(QStringLiteral(".dll")));
    }
};

QTEST_GUILESS_MAIN(TestDeviceLibraryOption)
#include "test_device_library_option.moc"
