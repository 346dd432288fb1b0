#include "cp1251.h"
#include "device_library.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestDeviceLibrary : public QObject {
    Q_OBJECT

private slots:
    void bindsOurLibraryFromTheExecutableFolder() {
        const QString file = DeviceLibrary::defaultFile(QStringLiteral(ORVEL_DIR));
        QVERIFY(file.endsWith(QStringLiteral("libOrvel.so")));
        const DeviceLibrary library(file);
        QVERIFY2(library.isLoaded(), qPrintable(library.errorText()));
        const char* name = nullptr;
        QCOMPARE(library.table().GetPortName(0, &name), 0);
        QVERIFY(name && *name);
    }

    // As a package unpacks it: a maker's library in the library folder wins over one beside the program.
    void bindsTheInstalledLibraryFirst() {
        QTemporaryDir root;
        const QDir dir(root.path());
        QVERIFY(dir.mkpath("usr/bin") && dir.mkpath("usr/lib/kkm-configurator"));
        const QString ours = QDir(QStringLiteral(ORVEL_DIR)).filePath("libOrvel.so");
        const QString installed = dir.filePath("usr/lib/kkm-configurator/libOrvel.so");
        QVERIFY(QFile::copy(ours, installed));
        QVERIFY(QFile::copy(ours, dir.filePath("usr/bin/libOrvel.so")));

        const QString file = DeviceLibrary::defaultFile(dir.filePath("usr/bin"));
        QCOMPARE(file, installed);
        QVERIFY2(DeviceLibrary(file).isLoaded(), qPrintable(file));
    }

    void fallsBackToTheSystemSearch() {
        QTemporaryDir empty;
        QCOMPARE(DeviceLibrary::defaultFile(empty.path()), QStringLiteral("Orvel"));
    }

    void missingFileStillGivesAWorkingTable() {
        QTemporaryDir empty;
        const QString file = empty.filePath(QStringLiteral("libOrvel.so"));
        const DeviceLibrary library(file);
        QVERIFY(!library.isLoaded());
        QVERIFY(library.errorText().contains(file));
        const char* name = nullptr;
        QVERIFY(library.table().GetPortName(0, &name) != 0);
        QCOMPARE(library.table().SetPort("COM1", 9600), DeviceLibrary::NotLoaded);
        QCOMPARE(fromDeviceText(library.table().GetErrString(DeviceLibrary::NotLoaded)),
                 QStringLiteral("Библиотека устройства не загружена"));
    }

    // Only the bridge can be told to give up a call; a library without the hook still binds.
    void bindsTheAbortHookWhereThereIsOne_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("hook");
        QTest::newRow("our emulated register") << QStringLiteral(ORVEL_DIR "/libOrvel.so") << false;
        QTest::newRow("the bridge") << QStringLiteral(BRIDGE_LIBRARY) << true;
    }
    void bindsTheAbortHookWhereThereIsOne() {
        QFETCH(QString, file);
        QFETCH(bool, hook);
        const DeviceLibrary library(file);
        QVERIFY2(library.isLoaded(), qPrintable(library.errorText()));
        QCOMPARE(library.table().OrvelAbortCall != nullptr, hook);
        QVERIFY(library.thread());
        if (hook)
            QCOMPARE(library.table().OrvelAbortCall(), 1); // no call waits
    }

    void missingFunctionsAreNamed() {
        const DeviceLibrary library(QStringLiteral(PARTIAL_LIBRARY));
        QVERIFY(!library.isLoaded());
        const QString error = library.errorText();
        for (const char* absent : {"SetPort", "ClosePort", "GetPLU", "GetGoodsRest"})
            QVERIFY2(error.contains(QLatin1String(absent)), qPrintable(error));
        QVERIFY(!error.contains(QLatin1String("GetPortName")));
        // Nothing of a half-bound library is used, not even the functions it has.
        const char* name = nullptr;
        QCOMPARE(library.table().GetPortName(0, &name), DeviceLibrary::NotLoaded);
    }
};

QTEST_GUILESS_MAIN(TestDeviceLibrary)
#include "test_device_library.moc"
