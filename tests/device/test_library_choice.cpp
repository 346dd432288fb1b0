#include "library_choice.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestLibraryChoice : public QObject {
    Q_OBJECT

private slots:
    void choosesByFileAndFolder_data() {
        QTest::addColumn<QString>("named");
        QTest::addColumn<QStringList>("beside");
        QTest::addColumn<QString>("library");
        QTest::addColumn<QString>("windowsLibrary");
        // Paths relative to the program's folder; "$" stands for it.
        QTest::newRow("our library beside the program") << "" << QStringList{"libOrvel.so"} << "$/libOrvel.so" << "";
        QTest::newRow("nothing beside: the system's search") << "" << QStringList{} << "Orvel" << "";
        QTest::newRow("a maker's DLL beside wins over ours")
            << "" << QStringList{"libOrvel.so", "Orvel.dll"} << "$/bridge/libOrvel.so" << "$/Orvel.dll";
        QTest::newRow("a named .so is bound as it is")
            << "/opt/kkm/libOrvel.so" << QStringList{"Orvel.dll"} << "/opt/kkm/libOrvel.so" << "";
        QTest::newRow("a named DLL goes through the bridge")
            << "/mnt/win/ORVEL.DLL" << QStringList{"libOrvel.so"} << "$/bridge/libOrvel.so" << "/mnt/win/ORVEL.DLL";
        QTest::newRow("a DLL named without a folder is taken from the current one")
            << "Maker.dll" << QStringList{} << "$/bridge/libOrvel.so" << "%/Maker.dll";
    }

    void choosesByFileAndFolder() {
        QFETCH(QString, named);
        QFETCH(QStringList, beside);
        QFETCH(QString, library);
        QFETCH(QString, windowsLibrary);
        QTemporaryDir program;
        for (const QString& file : beside) {
            QFile created(program.filePath(file));
            QVERIFY(created.open(QIODevice::WriteOnly));
        }
        const auto expand = [&](QString path) {
            return path.replace('$', program.path()).replace('%', QDir::currentPath());
        };
        QCOMPARE(chooseDeviceLibrary(program.path(), named), (LibraryChoice{expand(library), expand(windowsLibrary)}));
    }

    void theBridgeFormLearnsWhichDll() {
        qunsetenv(kWindowsLibraryVariable);
        announceWindowsLibrary({"/x/libOrvel.so", {}});
        QVERIFY(!qEnvironmentVariableIsSet(kWindowsLibraryVariable));
        announceWindowsLibrary({"/x/bridge/libOrvel.so", "/home/техник/Orvel.dll"});
        QCOMPARE(qEnvironmentVariable(kWindowsLibraryVariable), QStringLiteral("/home/техник/Orvel.dll"));
    }
};

QTEST_GUILESS_MAIN(TestLibraryChoice)
#include "test_library_choice.moc"
