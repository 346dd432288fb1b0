// The Debian package packed from this build as scripts/package packs it: where its files land,
// what it declares, and the program started from the package unpacked under a scratch root.
#include "application_setup.h"
#include "chm_file.h"

#include <QDir>
#include <QGuiApplication>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString appId = u"io.github.kkmconfigurator.KkmConfigurator"_s;

struct Run {
    bool ok = false;
    QByteArray out;
    QByteArray err;
};

Run run(const QString& program, const QStringList& arguments,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(QStringLiteral(BUILD_DIR));
    process.start(program, arguments);
    const bool finished = process.waitForFinished(120'000);
    return {finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

// "Key: value" lines, a value going on in the lines that start with a space.
QMap<QString, QString> controlFields(const QString& control) {
    QMap<QString, QString> fields;
    QString key;
    for (const QString& line : control.split(u'\n', Qt::SkipEmptyParts)) {
        if (line.startsWith(u' ')) {
            fields[key] += u'\n' + line.mid(1);
            continue;
        }
        key = line.section(u':', 0, 0);
        fields[key] = line.section(u':', 1).trimmed();
    }
    return fields;
}

// Every file the package holds, as "mode owner path", sorted; nothing of the build besides.
QStringList packagedFiles() {
    QStringList files{
        u"-rwxr-xr-x root/root ./usr/bin/kkm-configurator"_s,
        u"-rwxr-xr-x root/root ./usr/bin/kkm-configurator-cli"_s,
        // Loaded by name, never run: not executable.
        u"-rw-r--r-- root/root ./usr/lib/kkm-configurator/libOrvel.so"_s,
        u"-rw-r--r-- root/root ./usr/share/kkm-configurator/help.chm"_s,
        u"-rw-r--r-- root/root ./usr/share/applications/%1.desktop"_s.arg(appId),
        u"-rw-r--r-- root/root ./usr/share/metainfo/%1.metainfo.xml"_s.arg(appId),
        u"-rw-r--r-- root/root ./usr/share/icons/hicolor/scalable/apps/kkm-configurator.svg"_s,
    };
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        files << u"-rw-r--r-- root/root ./usr/share/icons/hicolor/%1x%1/apps/kkm-configurator.png"_s.arg(size);
    files.sort();
    return files;
}

} // namespace

class TestPackage : public QObject {
    Q_OBJECT

    QTemporaryDir m_work;
    QString m_deb;
    QString m_root;
    // "mode owner path" of every file that is not a folder, sorted.
    QStringList m_files;
    QMap<QString, QString> m_control;

    QProcessEnvironment programEnvironment(const QString& language) const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(u"LANGUAGE"_s);
        environment.insert(u"LC_ALL"_s, language);
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        for (const char* folder : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"})
            environment.insert(QString::fromLatin1(folder), m_work.filePath(u"home"_s));
        return environment;
    }

    QString installedProgram() const { return m_root + u"/usr/bin/kkm-configurator"_s; }

private slots:
    void initTestCase() {
        QVERIFY(m_work.isValid());
        const Run pack = run(QStringLiteral(CPACK), {u"--config"_s, QStringLiteral(BUILD_DIR "/CPackConfig.cmake"),
                                                     u"-B"_s, m_work.filePath(u"out"_s)});
        QVERIFY2(pack.ok, pack.out + pack.err);
        const QStringList debs = QDir(m_work.filePath(u"out"_s)).entryList({u"*.deb"_s}, QDir::Files);
        QCOMPARE(debs.size(), 1);
        m_deb = m_work.filePath(u"out/"_s + debs.first());

        const Run contents = run(u"dpkg-deb"_s, {u"--contents"_s, m_deb});
        QVERIFY2(contents.ok, contents.err);
        // "-rwxr-xr-x root/root 123 2026-12-09 01:00 ./usr/bin/kkm-configurator"
        for (const QString& line : QString::fromUtf8(contents.out).split(u'\n', Qt::SkipEmptyParts)) {
            const QStringList parts = line.split(QRegularExpression(u"\\s+"_s));
            QCOMPARE(parts.size(), 6);
            if (!parts[0].startsWith(u'd'))
                m_files << QStringList{parts[0], parts[1], parts[5]}.join(u' ');
        }
        m_files.sort();

        const Run info = run(u"dpkg-deb"_s, {u"--info"_s, m_deb, u"control"_s});
        QVERIFY2(info.ok, info.err);
        m_control = controlFields(QString::fromUtf8(info.out));

        m_root = m_work.filePath(u"root"_s);
        const Run unpack = run(u"dpkg"_s, {u"-x"_s, m_deb, m_root});
        QVERIFY2(unpack.ok, unpack.err);
    }

    void fileName() {
        const Run architecture = run(u"dpkg"_s, {u"--print-architecture"_s});
        QVERIFY(architecture.ok);
        QCOMPARE(m_control.value(u"Package"_s), u"kkm-configurator"_s);
        QCOMPARE(m_control.value(u"Version"_s), QStringLiteral(KKM_VERSION));
        QCOMPARE(m_control.value(u"Architecture"_s), QString::fromLatin1(architecture.out.trimmed()));
        QCOMPARE(QFileInfo(m_deb).fileName(),
                 u"kkm-configurator_%1_%2.deb"_s.arg(QStringLiteral(KKM_VERSION), m_control.value(u"Architecture"_s)));
    }

    void filesWhereTheyBelong() { QCOMPARE(m_files, packagedFiles()); }

    // The desktop finds the running window's menu entry, and so its name and icon.
    void windowNamesItsMenuEntry() {
        setUpApplication(*QCoreApplication::instance());
        QCOMPARE(QGuiApplication::desktopFileName(), appId);
    }

    void control_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QStringList>("parts");

        // Computed from the libraries the program and ours link, and Qt's platform plugins it loads.
        QTest::newRow("Depends") << u"Depends"_s
                                 << QStringList{u"libqt6core6"_s,     u"libqt6gui6"_s, u"libqt6widgets6"_s,
                                                u"qt6-qpa-plugins"_s, u"libchm1"_s,    u"libjpeg62-turbo"_s,
                                                u"libc6"_s,           u"libstdc++6"_s};
        QTest::newRow("Recommends") << u"Recommends"_s << QStringList{u"qt6-translations-l10n"_s};
        QTest::newRow("Maintainer") << u"Maintainer"_s << QStringList{u"KKM configurator maintainers <"_s};
        QTest::newRow("Description in English and Russian")
            << u"Description"_s
            << QStringList{u"cash register (KKM) configurator"_s, u"A service technician"_s,
                           u"Сервисный инженер подключает компьютер к ККМ"_s};
    }

    void control() {
        QFETCH(QString, field);
        QFETCH(QStringList, parts);
        const QString value = m_control.value(field);
        for (const QString& part : parts)
            QVERIFY2(value.contains(part), qPrintable(field + u": "_s + value));
    }

    // Started from the unpacked package, the program takes our library and help from their
    // installed folders, not from the build, and keeps running.
    void installedProgramFindsItsFiles() {
        QProcessEnvironment environment = programEnvironment(u"ru_RU.UTF-8"_s);
        environment.insert(u"QT_LOGGING_RULES"_s, u"kkm.files.info=true"_s);
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(installedProgram());
        QVERIFY(program.waitForStarted());
        const bool running = !program.waitForFinished(3000);
        const QString log = QString::fromUtf8(program.readAllStandardError());
        QVERIFY2(running, qPrintable(log));
        program.kill();
        program.waitForFinished();

        const QString library = m_root + u"/usr/lib/kkm-configurator/libOrvel.so"_s;
        const QString help = m_root + u"/usr/share/kkm-configurator/help.chm"_s;
        QVERIFY2(log.contains(u"Библиотека устройства: %1 (загружена)"_s.arg(library)), qPrintable(log));
        QVERIFY2(log.contains(u"Справка: "_s + help + u'\n'), qPrintable(log));
        QVERIFY(ChmFile(help).read(u"/index.htm"_s).has_value());
    }

    void installedProgramSpeaks_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("starts");

        QTest::newRow("Russian version") << u"ru_RU.UTF-8"_s << u"--version"_s
                                         << u"Конфигуратор ККМ, версия %1\n"_s.arg(KKM_VERSION);
        QTest::newRow("English version") << u"C.UTF-8"_s << u"--version"_s
                                         << u"KKM configurator, version %1\n"_s.arg(KKM_VERSION);
        QTest::newRow("Russian help") << u"ru_RU.UTF-8"_s << u"--help"_s
                                      << u"Использование: %1 [параметры]\n"_s.arg(installedProgram());
        QTest::newRow("English help") << u"C.UTF-8"_s << u"--help"_s
                                      << u"Usage: %1 [options]\n"_s.arg(installedProgram());
    }

    void installedProgramSpeaks() {
        QFETCH(QString, language);
        QFETCH(QString, option);
        QFETCH(QString, starts);
        // As in a terminal without a display: no window system is needed to answer.
        QProcessEnvironment environment = programEnvironment(language);
        for (const char* variable : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(QString::fromLatin1(variable));
        const Run program = run(installedProgram(), {option}, environment);
        QVERIFY2(program.ok, program.err);
        QVERIFY2(QString::fromUtf8(program.out).startsWith(starts), program.out);
    }

    // The menu entry and the metainfo as installed, when the validators are on the machine.
    void validators_data() {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QStringList>("arguments");

        QTest::newRow("desktop-file-validate")
            << u"desktop-file-validate"_s << QStringList{m_root + u"/usr/share/applications/%1.desktop"_s.arg(appId)};
        QTest::newRow("appstreamcli validate")
            << u"appstreamcli"_s
            << QStringList{u"validate"_s, u"--no-net"_s, m_root + u"/usr/share/metainfo/%1.metainfo.xml"_s.arg(appId)};
        // The metainfo, its menu entry and icon together.
        QTest::newRow("appstreamcli validate-tree")
            << u"appstreamcli"_s << QStringList{u"validate-tree"_s, u"--no-net"_s, m_root};
    }

    void validators() {
        QFETCH(QString, tool);
        QFETCH(QStringList, arguments);
        const QString path = QStandardPaths::findExecutable(tool);
        if (path.isEmpty())
            QSKIP("not installed");
        const Run check = run(path, arguments);
        QVERIFY2(check.ok, check.out + check.err);
    }
};

QTEST_MAIN(TestPackage)
#include "test_package.moc"
