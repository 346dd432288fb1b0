// The command line: its arguments, and its commands on the emulated register, in process and as
// the program a fleet engine runs.
#include "cli_commands.h"
#include "cli_request.h"
#include "cp1251.h"
#include "device_library.h"
#include "fm_main.h"
#include "profile_file.h"
#include "recording_file_dialogs.h"
#include "recording_message_boxes.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Counts what reaches the register through the emulated one.
struct Tap {
    static inline DeviceTable through;
    static inline int writes = 0;
    static inline int opens = 0;
    static inline int goodsWrites = 0;
    static inline int logoRecords = 0;

    static int32_t ORVEL_CALL WriteLogo(uint8_t kkm, uint8_t pc, int32_t kind, const uint8_t* buf, int32_t lastIndex) {
        ++logoRecords;
        return through.WriteLogo(kkm, pc, kind, buf, lastIndex);
    }

    static int32_t ORVEL_CALL SetPLU(uint8_t kkm, uint8_t pc, uint16_t number, const char* t0, const char* t1,
                                     const char* t2, const char* t3, const char* t4, const char* t5, const char* t6) {
        ++goodsWrites;
        return through.SetPLU(kkm, pc, number, t0, t1, t2, t3, t4, t5, t6);
    }

    static int32_t ORVEL_CALL SetRowValue(uint8_t kkm, uint8_t pc, uint8_t table, uint16_t row, const uint8_t* buf,
                                          int32_t lastIndex) {
        ++writes;
        return through.SetRowValue(kkm, pc, table, row, buf, lastIndex);
    }
    static int32_t ORVEL_CALL SetPort(const char* port, int32_t speed) {
        ++opens;
        return through.SetPort(port, speed);
    }
    static DeviceTable over(const DeviceTable& table) {
        through = table;
        DeviceTable tapped = table;
        tapped.SetRowValue = SetRowValue;
        tapped.SetPort = SetPort;
        tapped.SetPLU = SetPLU;
        tapped.WriteLogo = WriteLogo;
        return tapped;
    }
};

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT

    QTemporaryDir m_data;
    std::unique_ptr<DeviceLibrary> m_library;
    std::unique_ptr<DeviceLibrary> m_tapped;

    CliReport run(const QStringList& arguments) {
        const CliParse parsed = parseCliArguments(QStringList{QStringLiteral("kkm-configurator-cli")} + arguments);
        if (!parsed.request)
            return CliReport{}.fail(ExitCode::BadInput, parsed.error);
        Tap::writes = 0;
        Tap::opens = 0;
        Tap::goodsWrites = 0;
        Tap::logoRecords = 0;
        return runCliRequest(*parsed.request, *m_tapped);
    }
    QString path(const char* name) const { return m_data.filePath(QLatin1String(name)); }

private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit());
        m_library = std::make_unique<DeviceLibrary>(QStringLiteral(ORVEL_LIBRARY));
        QVERIFY2(m_library->isLoaded(), qPrintable(m_library->errorText()));
        m_tapped = std::make_unique<DeviceLibrary>(Tap::over(m_library->table()));
    }

    void arguments_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("refusal"); // empty: taken
        QTest::newRow("ports") << QStringList{"ports", "--json"} << "";
        QTest::newRow("no command") << QStringList{"--json"} << "Не указана команда";
        QTest::newRow("unknown command") << QStringList{"flash"} << "Неизвестная команда «flash»";
        QTest::newRow("no port") << QStringList{"identify"} << "Не указан порт";
        QTest::newRow("speed not a number")
            << QStringList{"identify", "--port", "X", "--speed", "fast"} << "Скорость «fast»";
        QTest::newRow("read without a file") << QStringList{"read", "--port", "X"} << "--out";
        QTest::newRow("range without goods")
            << QStringList{"read", "--port", "X", "--out", "a.sav", "--range", "1-5"} << "--range A-B";
        QTest::newRow("range backwards") << QStringList{"read",    "--port", "X",       "--out", "a.sav",
                                                        "--goods", "g.csv",  "--range", "9-5"}
                                         << "--range A-B";
        QTest::newRow("apply without a file") << QStringList{"apply", "--port", "X"} << "файл настроек";
        QTest::newRow("an option of another command")
            << QStringList{"diff", "a.sav", "--port", "X", "--check"} << "не принимает параметр --check";
        QTest::newRow("apply in full") << QStringList{"apply",   "a.sav",       "--port",  "X",
                                                      "--speed", "9600",        "--check", "--backup-dir",
                                                      "b",       "--no-verify", "--json"}
                                       << "";
    }
    void arguments() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, refusal);
        const CliParse parsed = parseCliArguments(QStringList{"kkm-configurator-cli"} + arguments);
        QCOMPARE(bool(parsed.request), refusal.isEmpty());
        QVERIFY2(parsed.error.contains(refusal), qPrintable(parsed.error));
    }

    // The same register read by the window and saved, and read by the command line, give one file.
    void readGivesTheWindowsFile() {
        RecordingMessageBoxes boxes; // the information box answered Ok: the automatic read
        RecordingFileDialogs dialogs;
        {
            Tfm_Main window(*m_library, boxes, dialogs, path("kkm.ini"));
            window.findChild<QComboBox*>("cb_KKMPort")->setCurrentIndex(0);
            window.findChild<QAbstractButton*>("sb_Connect")->click();
            QCOMPARE(window.findChild<QLabel*>("lb_Result")->text(), QStringLiteral("Чтение данных прошло успешно."));
            window.MainformActionUpdate();
            dialogs.answer = path("window.sav");
            window.findChild<QAbstractButton*>("b_SaveSettings")->click();
            m_library->table().ClosePort();
        }
        const CliReport report = run(
            {"read", "--port", "EMULATOR", "--out", path("cli.sav"), "--goods", path("goods.csv"), "--range", "1-3"});
        QCOMPARE(report.exit, ExitCode::Done);
        QCOMPARE(fileBytes(path("cli.sav")), fileBytes(path("window.sav")));
        QCOMPARE(fileBytes(path("goods.csv")).count("\r\n"), 3);
        QCOMPARE(Tap::writes, 0);
    }

    void applyChangesOnceAndChecks() {
        // The window's file with the discount changed.
        ProfileFile file(fileBytes(path("window.sav")));
        file.write("KKMDiscounts", "Discount", "7,25");
        QVERIFY(writeBytes(path("changed.sav"), file.bytes()));

        CliReport report = run({"apply", path("changed.sav"), "--port", "EMULATOR", "--check", "--json"});
        QCOMPARE(report.exit, ExitCode::Changed);
        QCOMPARE(Tap::writes, 0);
        // The centring blanks of the register's advertising lines do not survive a settings file, so
        // its lines differ too.
        QJsonObject discount;
        for (const QJsonValue entry : report.json.value("diff").toArray()) {
            const QString table = entry.toObject().value("table").toString();
            QVERIFY2(table == QLatin1String("KKMDiscounts") || table == QLatin1String("KKMReklama"), qPrintable(table));
            if (entry.toObject().value("field").toString() == QLatin1String("Discount"))
                discount = entry.toObject();
        }
        QCOMPARE(discount.value("row").toInt(), 1);
        QCOMPARE(discount.value("after").toString(), QStringLiteral("7,25"));
        QVERIFY(discount.value("before").toString() != QStringLiteral("7,25"));

        report = run({"apply", path("changed.sav"), "--port", "EMULATOR", "--backup-dir", path("backups")});
        QCOMPARE(report.exit, ExitCode::Changed);
        QCOMPARE(Tap::writes, 2 + 6); // the discounts' two rows, the six advertising lines
        QCOMPARE(report.json.value("verified").toBool(), true);
        QVERIFY(QFile::exists(report.json.value("backup").toString()));
        QVERIFY(report.json.value("backup").toString().startsWith(path("backups")));

        report = run({"apply", path("changed.sav"), "--port", "EMULATOR", "--backup-dir", path("backups")});
        QCOMPARE(report.exit, ExitCode::Done);
        QCOMPARE(Tap::writes, 0);
        QCOMPARE(report.json.value("changed").toBool(), false);
    }

    // The goods of a CSV file go out when they differ, the register's old ones kept beside the backup.
    void goodsFromAFile() {
        QVERIFY(
            writeBytes(path("goods.csv"),
                       toCp1251(QStringLiteral("5;Батон;4600000000001;2;45;НЕТ;0;0\r\n6;Milk;;1;12.50;ДА;0;0\r\n"))));
        CliReport report =
            run({"apply", path("changed.sav"), "--port", "EMULATOR", "--goods", path("goods.csv"), "--json"});
        QVERIFY2(report.exit == ExitCode::Changed, qPrintable(report.json.value("msg").toString()));
        QCOMPARE(Tap::goodsWrites, 2);
        QCOMPARE(Tap::writes, 0);
        QVERIFY(report.json.value("verified").toBool());
        QStringList fields;
        for (const QJsonValue entry : report.json.value("diff").toArray()) {
            QCOMPARE(entry.toObject().value("table").toString(), QStringLiteral("goods"));
            fields << QString::number(entry.toObject().value("row").toInt()) +
                          entry.toObject().value("field").toString();
        }
        QVERIFY2(fields.contains("5name") && fields.contains("5price") && fields.contains("6fractional"),
                 qPrintable(fields.join(' ')));
        const QByteArray kept = fileBytes(report.json.value("backup").toString().chopped(4) + ".csv");
        QVERIFY2(kept.startsWith("5;") && kept.contains("\r\n6;"), kept.constData());

        report = run({"apply", path("changed.sav"), "--port", "EMULATOR", "--goods", path("goods.csv")});
        QCOMPARE(report.exit, ExitCode::Done);
        QCOMPARE(Tap::goodsWrites, 0);

        QVERIFY(writeBytes(path("bad.csv"), "10000;Too far;;1;1.00;НЕТ;0;0\r\n"));
        report = run({"apply", path("changed.sav"), "--port", "EMULATOR", "--goods", path("bad.csv")});
        QCOMPARE(report.exit, ExitCode::BadInput);
        QCOMPARE(Tap::opens, 0);
    }

    // The register's logo cannot be read: it goes out unless it is the one last sent from here.
    void logoOnceUntilItChanges() {
        QImage picture(100, 40, QImage::Format_RGB32);
        picture.fill(Qt::white);
        picture.setPixel(3, 3, qRgb(0, 0, 0));
        QVERIFY(picture.save(path("logo.bmp")));
        const QStringList apply{"apply",  path("changed.sav"), "--port",       "EMULATOR",
                                "--logo", path("logo.bmp"),    "--backup-dir", path("backups")};
        CliReport report = run(apply + QStringList{"--json"});
        QCOMPARE(report.exit, ExitCode::Changed);
        QCOMPARE(Tap::logoRecords, 1 + 40); // the header, then 40 rows
        const QJsonArray diff = report.json.value("diff").toArray();
        QCOMPARE(diff.size(), 1);
        QCOMPARE(diff[0].toObject().value("table").toString(), QStringLiteral("logo"));

        report = run(apply);
        QCOMPARE(report.exit, ExitCode::Done);
        QCOMPARE(Tap::logoRecords, 0);

        picture.setPixel(4, 3, qRgb(0, 0, 0));
        QVERIFY(picture.save(path("logo.bmp")));
        report = run(apply);
        QCOMPARE(report.exit, ExitCode::Changed);
        QCOMPARE(Tap::logoRecords, 41);

        report = run({"apply", path("changed.sav"), "--port", "EMULATOR", "--logo", path("logo.png")});
        QCOMPARE(report.exit, ExitCode::BadInput);
        QCOMPARE(Tap::opens, 0);
    }

    void badFileSendsNothing_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("named");
        QTest::newRow("a flag that is no number") << QByteArray("[KKMOptions]\r\nCode_Sell=yes\r\n") << "Code_Sell";
        QTest::newRow("a rate the write refuses") << QByteArray("[KKMTaxes]\r\nTax2_Value=150\r\n") << "Tax2_Value";
    }
    void badFileSendsNothing() {
        QFETCH(QByteArray, content);
        QFETCH(QString, named);
        ProfileFile file(fileBytes(path("window.sav")));
        const QList<QByteArray> line = content.split('\n');
        const QByteArray section = line[0].trimmed().mid(1).chopped(1);
        const QList<QByteArray> pair = line[1].trimmed().split('=');
        file.write(section, pair[0], pair[1]);
        QVERIFY(writeBytes(path("bad.sav"), file.bytes()));
        const CliReport report = run({"apply", path("bad.sav"), "--port", "EMULATOR"});
        QCOMPARE(report.exit, ExitCode::BadInput);
        QCOMPARE(Tap::opens, 0);
        QVERIFY2(report.json.value("msg").toString().contains(named), qPrintable(report.json.value("msg").toString()));
    }

    // As a fleet engine runs it: no display, JSON, and a port another program holds.
    void theProgramWithoutADisplay() {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(CLI_PROGRAM), {"identify", "--port", "EMULATOR", "--json"});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitCode(), 0);
        const QJsonObject identity = QJsonDocument::fromJson(program.readAllStandardOutput()).object();
        QCOMPARE(identity.value("serial").toString(), QStringLiteral("00012345"));

        // This test holds the port now.
        QVERIFY(m_library->table().SetPort("EMULATOR", 115200) >= 0);
        program.start(QStringLiteral(CLI_PROGRAM), {"identify", "--port", "EMULATOR", "--json"});
        QVERIFY(program.waitForFinished(30000));
        m_library->table().ClosePort();
        QCOMPARE(program.exitCode(), int(ExitCode::NoRegister));
        QCOMPARE(QJsonDocument::fromJson(program.readAllStandardOutput()).object().value("failed").toBool(), true);
    }
};

QTEST_MAIN(TestCli)
#include "test_cli.moc"
