#include "device_fixture.h"
#include "discount_page.h"
#include "discount_row.h"
#include "percent_text.h"

#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QTest>

class TestDiscount : public QObject {
    Q_OBJECT

    std::unique_ptr<DeviceFixture> m_device;
    std::unique_ptr<DiscountPage> m_page;

    QLineEdit* value(int row) {
        return m_page->findChild<QLineEdit*>(row == 1 ? "ed_DiscountValue" : "ed_MarkUpsValue");
    }
    QComboBox* permission(int row) {
        return m_page->findChild<QComboBox*>(row == 1 ? "cb_DiscountPermit" : "cb_MarkUpsPermit");
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }
    void init() {
        m_device = std::make_unique<DeviceFixture>();
        m_page = std::make_unique<DiscountPage>(m_device->link, m_device->errors);
    }
    void cleanup() {
        m_page.reset();
        m_device.reset();
    }

    void hex2Int_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("byte");
        QTest::newRow("decimal digits give BCD") << "12" << 0x12;
        QTest::newRow("upper hex") << "1A" << 0x1A;
        QTest::newRow("lower hex") << "fe" << 0xFE;
        QTest::newRow("only two characters count") << "9912" << 0x99;
        QTest::newRow("non-digit first counts 0") << "-5" << 0x05;
        QTest::newRow("non-digit repeats the one before") << "7-" << 0x77;
    }
    void hex2Int() {
        QFETCH(QString, text);
        QFETCH(int, byte);
        QCOMPARE(int(Hex2Int(text)), byte);
    }

    // Through the page: the edit's text to the bytes sent, and the permission byte.
    void write_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("item");
        QTest::addColumn<QByteArray>("hex");
        QTest::newRow("5") << "5" << 1 << QByteArray("050001");
        QTest::newRow("5,5") << "5,5" << 2 << QByteArray("055002");
        QTest::newRow(",5") << ",5" << 0 << QByteArray("005000");
        QTest::newRow("empty") << "" << 1 << QByteArray("000001");
        QTest::newRow("99,99") << "99,99" << 1 << QByteArray("999901");
        QTest::newRow("third decimal cut") << "1,345" << 1 << QByteArray("013401");
        QTest::newRow("blanks around") << " 7, " << 1 << QByteArray("070001");
        QTest::newRow("leading zero of 099") << "099" << 1 << QByteArray("990001");
        QTest::newRow("no permission chosen") << "1" << -1 << QByteArray("0100ff");
    }
    void write() {
        QFETCH(QString, text);
        QFETCH(int, item);
        QFETCH(QByteArray, hex);
        for (int row : {1, 2}) {
            value(row)->setText(text);
            permission(row)->setCurrentIndex(item);
            m_page->writeRow(row);
            QCOMPARE(m_device->fake.callsOf("SetRowValue").last().args.mid(2), QList<int>({5, row, 2}));
            QCOMPARE(m_device->fake.rows[qMakePair(5, row)].toHex(), hex);
        }
        QCOMPARE(m_device->fake.callNames(), QStringList(2, "SetRowValue"));
        QVERIFY(m_device->boxes.shown.isEmpty());
    }

    void refusedValues_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("error");
        const QString outOfRange =
            QStringLiteral("Величина «%1» не может быть записана в ККМ: допустимо число от 0 до 99,99.");
        QTest::newRow("100") << "100" << outOfRange.arg("100");
        QTest::newRow("999") << "999" << outOfRange.arg("999");
        QTest::newRow("negative") << "-5" << outOfRange.arg("-5");
        QTest::newRow("minus zero") << "-0" << outOfRange.arg("-0");
        QTest::newRow("lone minus") << "-"
                                    << "'-' is not a valid floating point value";
        QTest::newRow("two separators") << "1,2,3"
                                        << "'1,2,3' is not a valid floating point value";
    }
    void refusedValues() {
        QFETCH(QString, text);
        QFETCH(QString, error);
        m_device->link.lastResult = 7;
        value(2)->setText(text);
        m_page->writeRow(2);
        QVERIFY(m_device->fake.calls.isEmpty());
        QCOMPARE(m_device->link.lastResult, 7);
        // The value stays as typed, for the technician to correct.
        QCOMPARE(value(2)->text(), text);
        QCOMPARE(m_device->boxes.texts(), QStringList{"Ошибка по месту: Tfm_Main.DiscExtraRowWrite\n\rТекст ошибки: " +
                                                      error + "\n\rСообщите разработчикам."});
    }

    void read_data() {
        QTest::addColumn<QByteArray>("hex");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("permission");
        QTest::newRow("12,50 allowed") << QByteArray("125001") << "12,50"
                                       << "Разрешены";
        QTest::newRow("0,05 internal") << QByteArray("000502") << "0,05"
                                       << "Только внутр.";
        QTest::newRow("not BCD, permission 3") << QByteArray("1a0003") << "1A,00"
                                               << "Запрещены";
        QTest::newRow("permission 255") << QByteArray("0000ff") << "0,00"
                                        << "Запрещены";
    }
    void read() {
        QFETCH(QByteArray, hex);
        QFETCH(QString, text);
        QFETCH(QString, permission);
        m_device->fake.rows[{5, 1}] = QByteArray::fromHex(hex);
        m_device->fake.rows[{5, 2}] = QByteArray::fromHex("999900");
        m_page->readRow(1);
        m_page->readRow(2);
        QCOMPARE(value(1)->text(), text);
        QCOMPARE(this->permission(1)->currentText(), permission);
        QCOMPARE(value(2)->text(), QStringLiteral("99,99"));
        QCOMPARE(m_device->fake.callsOf("GetRowValue")[0].args.mid(2), QList<int>({5, 1, 2}));
    }
};

QTEST_MAIN(TestDiscount)
#include "test_discount.moc"
