#include "program_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestProgramFiles : public QObject {
    Q_OBJECT

private slots:
    void installedFolderFirst_data() {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<bool>("beside");
        QTest::addColumn<QString>("found");

        QTest::newRow("installed only") << true << false << "usr/share/kkm/help.chm";
        QTest::newRow("beside only") << false << true << "usr/bin/help.chm";
        QTest::newRow("both: the installed one") << true << true << "usr/share/kkm/help.chm";
        QTest::newRow("neither") << false << false << "";
    }

    void installedFolderFirst() {
        QFETCH(bool, installed);
        QFETCH(bool, beside);
        QFETCH(QString, found);
        QTemporaryDir root;
        const QDir dir(root.path());
        QVERIFY(dir.mkpath("usr/bin") && dir.mkpath("usr/share/kkm"));
        if (installed)
            QVERIFY(QFile(dir.filePath("usr/share/kkm/help.chm")).open(QIODevice::WriteOnly));
        if (beside)
            QVERIFY(QFile(dir.filePath("usr/bin/help.chm")).open(QIODevice::WriteOnly));

        const QString path = findProgramFile(dir.filePath("usr/bin"), "../share/kkm", "help.chm");
        QCOMPARE(path, found.isEmpty() ? QString() : dir.filePath(found));
    }

    // A folder of that name is not the file.
    void skipsAFolder() {
        QTemporaryDir root;
        const QDir dir(root.path());
        QVERIFY(dir.mkpath("bin/lib/help.chm"));
        QVERIFY(QFile(dir.filePath("bin/help.chm")).open(QIODevice::WriteOnly));
        QCOMPARE(findProgramFile(dir.filePath("bin"), "lib", "help.chm"), dir.filePath("bin/help.chm"));
    }

    void installedWhenItsLibraryFolderIsThere() {
        QTemporaryDir root;
        const QDir dir(root.path());
        QVERIFY(dir.mkpath("usr/bin"));
        QVERIFY(!isInstalledProgram(dir.filePath("usr/bin")));
        QVERIFY(dir.mkpath("usr/lib/kkm-configurator"));
        QVERIFY(isInstalledProgram(dir.filePath("usr/bin")));
    }
};

QTEST_GUILESS_MAIN(TestProgramFiles)
#include "test_program_files.moc"
