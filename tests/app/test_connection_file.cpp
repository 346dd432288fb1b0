#include "connection_file.h"
#include "conversions.h"
#include "device_library.h"
#include "fake_device.h"
#include "fm_main.h"
#include "recording_file_dialogs.h"
#include "recording_message_boxes.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

class TestConnectionFile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QComboBox m_port;
    QComboBox m_speed;
    QLineEdit m_pc;
    QLineEdit m_kkm;
    ConnectionControls m_controls{&m_port, &m_speed, &m_pc, &m_kkm};

    QString file(const char* name = "kkm-configurator.ini") const { return m_dir.filePath(QLatin1String(name)); }
    void writeText(const QString& path, const QByteArray& text) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
    }

private slots:
    void init() {
        m_port.clear();
        m_port.addItems({"COM1", "COM2", "COM3"});
        m_speed.clear();
        m_speed.addItems({"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"});
        m_pc.setText("x");
        m_kkm.setText("y");
    }

    void firstStartGivesDefaults() {
        readConnectionFile(file("missing.ini"), m_controls);
        QCOMPARE(m_port.currentIndex(), 0);
        QCOMPARE(m_speed.currentText(), QStringLiteral("115200"));
        QCOMPARE(m_pc.text(), QStringLiteral("1"));
        QCOMPARE(m_kkm.text(), QStringLiteral("2"));
    }

    void roundTrip() {
        m_port.setCurrentIndex(2);
        m_speed.setCurrentIndex(3);
        m_pc.setText("7");
        m_kkm.setText("300");
        writeConnectionFile(file(), m_controls);
        init();
        readConnectionFile(file(), m_controls);
        QCOMPARE(m_port.currentIndex(), 2);
        QCOMPARE(m_speed.currentIndex(), 3);
        QCOMPARE(m_pc.text(), QStringLiteral("7"));
        QCOMPARE(m_kkm.text(), QStringLiteral("300"));
    }

    void nothingChosenIsStoredAsMinusOne() {
        m_port.setCurrentIndex(-1);
        writeConnectionFile(file(), m_controls);
        QFile f(file());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray text = f.readAll();
        QVERIFY(text.contains("[Connection]"));
        QVERIFY(text.contains("KKMPort=-1"));
        readConnectionFile(file(), m_controls);
        QCOMPARE(m_port.currentIndex(), -1);
    }

    void positionOutsideTheListChoosesNothing() {
        writeText(file(), "[Connection]\nKKMPort=5\nKKMSpeed=8\n");
        readConnectionFile(file(), m_controls);
        QCOMPARE(m_port.currentIndex(), -1);
        QCOMPARE(m_speed.currentIndex(), -1);
    }

    // Windows INI rules, not QSettings': no list syntax, names in any ASCII case, values whole.
    void iniRulesOfThePlatform_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("pc");
        QTest::addColumn<QString>("kkm");
        QTest::addColumn<int>("port");
        QTest::newRow("comma and semicolon are text") << QByteArray("[Connection]\nPCAddr=1,5\nKKMAddr=7;8\n") << "1,5"
                                                      << "7;8" << 0;
        QTest::newRow("names in another case") << QByteArray("[connection]\nkkmport=2\npcaddr=4\n") << "4"
                                               << "2" << 2;
        QTest::newRow("longer than the edit takes") << QByteArray("[Connection]\nPCAddr=1000\n") << "1000"
                                                    << "2" << 0;
    }
    void iniRulesOfThePlatform() {
        QFETCH(QByteArray, file);
        QFETCH(QString, pc);
        QFETCH(QString, kkm);
        QFETCH(int, port);
        m_pc.setMaxLength(3);
        writeText(this->file(), file);
        readConnectionFile(this->file(), m_controls);
        QCOMPARE(m_pc.text(), pc);
        QCOMPARE(m_kkm.text(), kkm);
        QCOMPARE(m_port.currentIndex(), port);
    }

    void nonNumericPortStopsReading() {
        writeText(file(), "[Connection]\nKKMPort=abc\nKKMSpeed=2\nPCAddr=9\nKKMAddr=9\n");
        m_speed.setCurrentIndex(5);
        try {
            readConnectionFile(file(), m_controls);
            QFAIL("accepted");
        } catch (const ConversionError& e) {
            QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("'abc' is not a valid integer value"));
        }
        QCOMPARE(m_speed.currentIndex(), 5);
        QCOMPARE(m_pc.text(), QStringLiteral("x"));
    }

    void unwritableLocation() {
        writeText(file("plain"), "a file, not a folder");
        const QString path = m_dir.filePath("plain/kkm.ini");
        try {
            writeConnectionFile(path, m_controls);
            QFAIL("accepted");
        } catch (const std::runtime_error& e) {
            QCOMPARE(QString::fromUtf8(e.what()),
                     QStringLiteral("Не удалось записать файл «%1»: папки «%2» нет").arg(path, file("plain")));
        }
    }

    void nameFollowsTheExecutable() {
        QCOMPARE(QFileInfo(connectionFilePath()).fileName(), QStringLiteral("test_connection_file.ini"));
    }

    void windowReadsAtCreationAndWritesOnClose() {
        FakeDevice fake;
        fake.ports = {"COM1", "COM2"};
        const DeviceLibrary library(FakeDevice::table());
        RecordingMessageBoxes boxes;
        RecordingFileDialogs dialogs;
        writeText(file(), "[Connection]\nKKMPort=1\nKKMSpeed=x\nPCAddr=9\n");
        {
            Tfm_Main window(library, boxes, dialogs, file());
            QCOMPARE(boxes.shown.size(), 1);
            QCOMPARE(boxes.shown[0].text, QStringLiteral("Ошибка по месту: Tfm_Main.FormCreate\n\rТекст ошибки: 'x' is "
                                                         "not a valid integer value\n\rСообщите разработчикам."));
            QCOMPARE(window.findChild<QComboBox*>("cb_KKMPort")->currentIndex(), 1);
            window.findChild<QComboBox*>("cb_KKMPortSpeed")->setCurrentIndex(4);
            window.show();
            window.close();
        }
        readConnectionFile(file(), m_controls);
        QCOMPARE(m_port.currentIndex(), 1);
        QCOMPARE(m_speed.currentIndex(), 4);

        writeText(file("blocker"), "");
        Tfm_Main window(library, boxes, dialogs, m_dir.filePath("blocker/kkm.ini"));
        window.show();
        QVERIFY(window.close());
        QCOMPARE(boxes.shown.size(), 2);
        QVERIFY(boxes.shown[1].text.startsWith(QStringLiteral("Ошибка по месту: Tfm_Main.FormClose\n\rТекст ошибки: "
                                                              "Не удалось записать файл «")));
    }
};

QTEST_MAIN(TestConnectionFile)
#include "test_connection_file.moc"
