#include "device_fixture.h"
#include "print_options_page.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

namespace {
const QPair<int, int> printRow{3, 1};
const char* const flagNames[] = {"cb_PoReklama", "cb_PoOtdel",      "cb_PoGoods",    "cb_PoGoodsCode", "cb_PoNalog",
                                 "cb_PoFont",    "cb_PoSeparators", "cb_PoWideItog", "cb_PoLogo"};
} // namespace

class TestPrintOptions : public QObject {
    Q_OBJECT

    std::unique_ptr<DeviceFixture> m_device;
    std::unique_ptr<PrintOptionsPage> m_page;

    QLineEdit* contrast() { return m_page->findChild<QLineEdit*>("ed_PoContrast"); }
    QCheckBox* flag(int i) { return m_page->findChild<QCheckBox*>(flagNames[i]); }

private slots:
    void init() {
        m_device = std::make_unique<DeviceFixture>();
        m_page = std::make_unique<PrintOptionsPage>(m_device->link, m_device->errors);
    }
    void cleanup() {
        m_page.reset();
        m_device.reset();
    }

    void read_data() {
        QTest::addColumn<QByteArray>("hex");
        QTest::addColumn<QString>("contrast");
        QTest::newRow("contrast 4") << QByteArray("04010001000100010001") << "4";
        QTest::newRow("contrast 0 shows 1") << QByteArray("00000100010001000100") << "1";
        QTest::newRow("contrast 200 shows 1") << QByteArray("c8ff0000000000000001") << "1";
        QTest::newRow("contrast 2") << QByteArray("02000000000000000000") << "2";
    }
    void read() {
        QFETCH(QByteArray, hex);
        QFETCH(QString, contrast);
        const QByteArray row = QByteArray::fromHex(hex);
        m_device->fake.rows[printRow] = row;
        for (int field = 1; field <= 10; ++field)
            m_page->readRow(field);
        QCOMPARE(this->contrast()->text(), contrast);
        for (int i = 0; i < 9; ++i)
            QCOMPARE(flag(i)->isChecked(), row[i + 1] != 0);
        for (const auto& call : m_device->fake.callsOf("GetRowValue"))
            QCOMPARE(call.args.mid(2), QList<int>({3, 1, 9}));
        QVERIFY(m_device->fake.callsOf("SetRowValue").isEmpty());
    }

    void wholePageWriteChangesOnlyItsOwnByte() {
        // A contrast of 9 can only come from a settings file; it goes out as it is.
        const QByteArray before = QByteArray::fromHex("03010001000100010001");
        m_device->fake.rows[printRow] = before;
        contrast()->setText("9");
        for (int i = 0; i < 9; ++i)
            flag(i)->setChecked(i % 3 == 0);
        for (int field = 1; field <= 10; ++field)
            m_page->writeRow(field);

        const auto writes = m_device->fake.callsOf("SetRowValue");
        QCOMPARE(m_device->fake.callsOf("GetRowValue").size(), 10);
        QCOMPARE(writes.size(), 10);
        QByteArray previous = before;
        for (int field = 1; field <= 10; ++field) {
            const QByteArray sent = writes[field - 1].bytes;
            QCOMPARE(writes[field - 1].args.mid(2), QList<int>({3, 1, 9}));
            for (int i = 0; i < 10; ++i) {
                if (i != field - 1)
                    QCOMPARE(sent[i], previous[i]);
            }
            previous = sent;
        }
        QCOMPARE(m_device->fake.rows[printRow], QByteArray::fromHex("09010000010000010000"));
        m_page->readRow(1);
        QCOMPARE(contrast()->text(), QStringLiteral("1"));
    }

    void contrastWrite_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("byte");
        QTest::addColumn<QString>("shown");
        QTest::newRow("empty goes as 4") << "" << 4 << "4";
        QTest::newRow("blank goes as 4") << " " << 4 << "4";
        QTest::newRow("typed 2") << "2" << 2 << "2";
        QTest::newRow("not a number") << "x" << -1 << "x";
    }
    void contrastWrite() {
        QFETCH(QString, text);
        QFETCH(int, byte);
        QFETCH(QString, shown);
        m_device->fake.rows[printRow] = QByteArray(10, '\1');
        contrast()->setText(text);
        m_page->writeRow(1);
        QCOMPARE(contrast()->text(), shown);
        if (byte < 0) {
            QVERIFY(m_device->fake.callsOf("SetRowValue").isEmpty());
            QCOMPARE(m_device->link.lastResult, 0);
            QVERIFY(m_device->boxes.texts().value(0).startsWith(
                QStringLiteral("Ошибка по месту: Tfm_Main.PRNSettingsRowWrite\n\rТекст ошибки: 'x' is not")));
        } else {
            QCOMPARE(uint8_t(m_device->fake.rows[printRow][0]), uint8_t(byte));
        }
    }
};

QTEST_MAIN(TestPrintOptions)
#include "test_print_options.moc"
