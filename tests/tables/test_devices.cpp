#include "device_fixture.h"
#include "devices_page.h"

#include <QComboBox>
#include <QTest>

namespace {
const char* const speedLists[] = {"cb_BarcodeSpeed", "cb_ElectronicScaleSpeed", "cb_PCSpeed", "cb_IndicatorSpeed"};
}

class TestDevices : public QObject {
    Q_OBJECT

    std::unique_ptr<DeviceFixture> m_device;
    std::unique_ptr<DevicesPage> m_page;

    QComboBox* list(const char* name) { return m_page->findChild<QComboBox*>(name); }
    QComboBox* interface() { return list("cb_ElecticScalesInterface"); }
    QComboBox* protocol() { return list("cb_ElectronicScaleProtocol"); }

private slots:
    void init() {
        m_device = std::make_unique<DeviceFixture>();
        m_page = std::make_unique<DevicesPage>(m_device->link, m_device->errors);
    }
    void cleanup() {
        m_page.reset();
        m_device.reset();
    }

    void read_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QByteArray>("hex");
        QTest::addColumn<QStringList>("shown"); // interface, protocol, speed
        QTest::newRow("scales: current loop, Massa, 115200")
            << 2 << QByteArray("010108") << QStringList{"Токовая петля", "Масса", "115200"};
        QTest::newRow("scales: out of range bytes")
            << 2 << QByteArray("020509") << QStringList{"RS232", "Штрих", "Отключено"};
        QTest::newRow("scales: 255 everywhere")
            << 2 << QByteArray("ffffff") << QStringList{"RS232", "Штрих", "Отключено"};
        QTest::newRow("scanner ignores bytes 0 and 1") << 1 << QByteArray("010104") << QStringList{"", "", "9600"};
        QTest::newRow("display 1200") << 4 << QByteArray("000001") << QStringList{"", "", "1200"};
    }
    void read() {
        QFETCH(int, row);
        QFETCH(QByteArray, hex);
        QFETCH(QStringList, shown);
        m_device->fake.rows[{8, row}] = QByteArray::fromHex(hex);
        m_page->readRow(row);
        QCOMPARE(m_device->fake.callsOf("GetRowValue")[0].args.mid(2), QList<int>({8, row, 2}));
        QCOMPARE(QStringList(
                     {interface()->currentText(), protocol()->currentText(), list(speedLists[row - 1])->currentText()}),
                 shown);
    }

    void write_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QList<int>>("items"); // interface, protocol, speed
        QTest::addColumn<QByteArray>("hex");
        QTest::newRow("scanner sends 0 in bytes 0 and 1") << 1 << QList<int>{1, 1, 8} << QByteArray("000008");
        QTest::newRow("scales") << 2 << QList<int>{1, 0, 5} << QByteArray("010005");
        QTest::newRow("scales, nothing chosen") << 2 << QList<int>{-1, -1, -1} << QByteArray("ffffff");
        QTest::newRow("PC, nothing chosen") << 3 << QList<int>{1, 1, -1} << QByteArray("0000ff");
        QTest::newRow("display") << 4 << QList<int>{-1, -1, 0} << QByteArray("000000");
    }
    void write() {
        QFETCH(int, row);
        QFETCH(QList<int>, items);
        QFETCH(QByteArray, hex);
        m_device->fake.rows[{8, row}] = QByteArray::fromHex("070707");
        interface()->setCurrentIndex(items[0]);
        protocol()->setCurrentIndex(items[1]);
        list(speedLists[row - 1])->setCurrentIndex(items[2]);
        m_page->writeRow(row);
        // Built from the page alone: nothing is read first.
        QCOMPARE(m_device->fake.callNames(), QStringList{"SetRowValue"});
        QCOMPARE(m_device->fake.callsOf("SetRowValue")[0].args.mid(2), QList<int>({8, row, 2}));
        QCOMPARE(m_device->fake.rows[qMakePair(8, row)].toHex(), hex);
    }
};

QTEST_MAIN(TestDevices)
#include "test_devices.moc"
