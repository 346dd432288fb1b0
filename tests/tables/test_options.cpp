#include "device_fixture.h"
#include "options_page.h"
#include "options_row.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QTest>

namespace {

const QPair<int, int> optionsRow{2, 1};

QByteArray row(std::initializer_list<int> bytes) {
    QByteArray r;
    for (int b : bytes)
        r.append(char(b));
    return r;
}

} // namespace

class TestOptions : public QObject {
    Q_OBJECT

    std::unique_ptr<DeviceFixture> m_device;
    std::unique_ptr<OptionsPage> m_page;

    template <typename T> T* find(const char* name) { return m_page->findChild<T*>(QLatin1String(name)); }
    void readAll() {
        for (int field = 1; field <= 10; ++field)
            m_page->readRow(field);
    }
    void writeAll() {
        for (int field = 1; field <= 10; ++field)
            m_page->writeRow(field);
    }

private slots:
    void init() {
        m_device = std::make_unique<DeviceFixture>();
        m_page = std::make_unique<OptionsPage>(m_device->link, m_device->errors);
    }
    void cleanup() {
        m_page.reset();
        m_device.reset();
    }

    void dateDecoding_data() {
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("year");
        QTest::addColumn<QDate>("date");
        QTest::newRow("7 July 2008") << 0x07 << 0x07 << 0x08 << QDate(2008, 7, 7);
        QTest::newRow("31 February 2024") << 0x31 << 0x02 << 0x24 << QDate();
        QTest::newRow("29 February 2024") << 0x29 << 0x02 << 0x24 << QDate(2024, 2, 29);
        QTest::newRow("29 February 2023") << 0x29 << 0x02 << 0x23 << QDate();
        QTest::newRow("nibble above 9") << 0x1A << 0x01 << 0x25 << QDate(2025, 1, 20);
        QTest::newRow("month 13") << 0x01 << 0x13 << 0x25 << QDate();
        QTest::newRow("day 0") << 0x00 << 0x05 << 0x25 << QDate();
        QTest::newRow("year 2100") << 0x01 << 0x03 << 0xA0 << QDate(2100, 3, 1);
        QTest::newRow("year 2159") << 0x31 << 0x12 << 0xF9 << QDate(2159, 12, 31);
        QTest::newRow("2100 is no leap year") << 0x29 << 0x02 << 0xA0 << QDate();
    }
    void dateDecoding() {
        QFETCH(int, day);
        QFETCH(int, month);
        QFETCH(int, year);
        QFETCH(QDate, date);
        QCOMPARE(OptionsRow::decodeServiceDate(day, month, year).value_or(QDate()), date);
    }

    void dateEncoding_data() {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QDate>("readBack");
        QTest::newRow("2008") << QDate(2008, 7, 7) << row({0x07, 0x07, 0x08}) << QDate(2008, 7, 7);
        QTest::newRow("2025") << QDate(2025, 12, 31) << row({0x31, 0x12, 0x25}) << QDate(2025, 12, 31);
        QTest::newRow("2100") << QDate(2100, 1, 15) << row({0x15, 0x01, 0xA0}) << QDate(2100, 1, 15);
        QTest::newRow("2159") << QDate(2159, 6, 30) << row({0x30, 0x06, 0xF9}) << QDate(2159, 6, 30);
        QTest::newRow("1999 would come back as 2009")
            << QDate(1999, 5, 1) << row({0x01, 0x05, 0x09}) << QDate(2009, 5, 1);
    }
    void dateEncoding() {
        QFETCH(QDate, date);
        QFETCH(QByteArray, bytes);
        QFETCH(QDate, readBack);
        const auto encoded = OptionsRow::encodeServiceDate(date);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(encoded.data()), 3), bytes);
        QCOMPARE(OptionsRow::decodeServiceDate(encoded[0], encoded[1], encoded[2]).value_or(QDate()), readBack);
    }

    void readShowsEveryField() {
        m_device->fake.rows[optionsRow] = row({1, 0, 7, 0, 255, 0, 1, 3, 15, 0x29, 0x02, 0x24});
        readAll();
        const bool ticks[] = {true, false, true, false, true, false, true};
        const char* boxes[] = {"cb_CodeSell",   "cb_FreePrice",    "cb_DecimalControl", "cb_MoneyBox",
                               "cb_Incasation", "cb_ModePassword", "cb_ZeroPassword"};
        for (int i = 0; i < 7; ++i)
            QCOMPARE(find<QCheckBox>(boxes[i])->isChecked(), ticks[i]);
        QCOMPARE(find<QComboBox>("cb_LightDuration")->currentText(), QStringLiteral("30 сек."));
        QCOMPARE(find<QLineEdit>("ed_DateInterval")->text(), QStringLiteral("15"));
        QCOMPARE(find<QDateEdit>("dtp_NextTO")->date(), QDate(2024, 2, 29));
        QCOMPARE(m_device->fake.callsOf("GetRowValue").size(), 10);
        for (const auto& call : m_device->fake.callsOf("GetRowValue"))
            QCOMPARE(call.args.mid(2), QList<int>({2, 1, 11}));
    }

    void outOfRangeBytesShowFallbacks() {
        m_device->fake.rows[optionsRow] = row({0, 0, 0, 0, 0, 0, 0, 8, 32, 0x31, 0x02, 0x24});
        readAll();
        QCOMPARE(find<QComboBox>("cb_LightDuration")->currentText(), QStringLiteral("Выкл."));
        QCOMPARE(find<QLineEdit>("ed_DateInterval")->text(), QStringLiteral("0"));
        QCOMPARE(find<QDateEdit>("dtp_NextTO")->date(), QDate::currentDate());
        // Nothing is corrected in the register by a read.
        QCOMPARE(m_device->fake.rows[optionsRow][7], char(8));
        QVERIFY(m_device->fake.callsOf("SetRowValue").isEmpty());
    }

    // The row's year byte holds 2000 to 2099 (and, read back, up to 2159): the picker offers no other.
    void serviceDateStaysInTheYearsTheRowHolds() {
        auto* picker = find<QDateEdit>("dtp_NextTO");
        picker->setDate(QDate(1999, 5, 1));
        QVERIFY(picker->date().year() >= 2000);
        picker->setDate(QDate(2100, 1, 1));
        QVERIFY(picker->date().year() <= 2099);
    }

    void startsAsDesigned() {
        QCOMPARE(find<QComboBox>("cb_LightDuration")->currentIndex(), -1);
        QCOMPARE(find<QComboBox>("cb_LightDuration")->count(), 8);
        QCOMPARE(find<QDateEdit>("dtp_NextTO")->date(), QDate(2008, 7, 7));
        QCOMPARE(find<QLineEdit>("ed_DateInterval")->maxLength(), 2);
        QVERIFY(find<QLineEdit>("ed_DateInterval")->text().isEmpty());
    }

    void wholePageWriteChangesOnlyItsOwnBytes() {
        const QByteArray before = row({0, 1, 0, 1, 0, 1, 0, 6, 20, 0x15, 0x03, 0x30});
        m_device->fake.rows[optionsRow] = before;
        find<QCheckBox>("cb_CodeSell")->setChecked(true);
        find<QComboBox>("cb_LightDuration")->setCurrentIndex(2);
        find<QLineEdit>("ed_DateInterval")->setText(" 7 ");
        find<QDateEdit>("dtp_NextTO")->setDate(QDate(2026, 12, 8));
        writeAll();

        const auto reads = m_device->fake.callsOf("GetRowValue");
        const auto writes = m_device->fake.callsOf("SetRowValue");
        QCOMPARE(reads.size(), 10);
        QCOMPARE(writes.size(), 10);
        QCOMPARE(m_device->fake.callNames().mid(0, 4),
                 QStringList({"GetRowValue", "SetRowValue", "GetRowValue", "SetRowValue"}));
        QByteArray previous = before;
        for (int field = 1; field <= 10; ++field) {
            const QByteArray sent = writes[field - 1].bytes;
            QCOMPARE(writes[field - 1].args.mid(2), QList<int>({2, 1, 11}));
            const QList<int> own = field == 10 ? QList<int>{9, 10, 11} : QList<int>{field - 1};
            for (int i = 0; i < 12; ++i) {
                if (!own.contains(i))
                    QCOMPARE(sent[i], previous[i]);
            }
            previous = sent;
        }
        QCOMPARE(m_device->fake.rows[optionsRow], row({1, 0, 0, 0, 0, 0, 0, 2, 7, 0x08, 0x12, 0x26}));
    }

    void dateIntervalWrite_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("byte");
        QTest::addColumn<QString>("shown");
        QTest::newRow("empty") << "" << 0 << "0";
        QTest::newRow("blank") << "  " << 0 << "0";
        QTest::newRow("45 from a settings file") << "45" << 31 << "31";
        QTest::newRow("inside") << "12" << 12 << "12";
        QTest::newRow("negative clamped to 0") << "-5" << 0 << "0";
    }
    void dateIntervalWrite() {
        QFETCH(QString, text);
        QFETCH(int, byte);
        QFETCH(QString, shown);
        m_device->fake.rows[optionsRow] = QByteArray(12, '\0');
        find<QLineEdit>("ed_DateInterval")->setText(text);
        m_page->writeRow(9);
        QCOMPARE(uint8_t(m_device->fake.rows[optionsRow][8]), uint8_t(byte));
        QCOMPARE(find<QLineEdit>("ed_DateInterval")->text(), shown);
    }

    void noBacklightItemIsWrittenAs255AndReadsBackAsOff() {
        m_device->fake.rows[optionsRow] = QByteArray(12, '\0');
        m_page->writeRow(8);
        QCOMPARE(uint8_t(m_device->fake.rows[optionsRow][7]), uint8_t(255));
        m_page->readRow(8);
        QCOMPARE(find<QComboBox>("cb_LightDuration")->currentText(), QStringLiteral("Выкл."));
    }

    void badDateIntervalIsReportedAndNotWritten_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("lone minus") << "-";
        QTest::newRow("decimal separator") << "1,";
    }
    void badDateIntervalIsReportedAndNotWritten() {
        QFETCH(QString, text);
        m_device->fake.rows[optionsRow] = QByteArray(12, '\0');
        find<QLineEdit>("ed_DateInterval")->setText(text);
        m_page->writeRow(9);
        QVERIFY(m_device->fake.callsOf("SetRowValue").isEmpty());
        QCOMPARE(m_device->link.lastResult, 0);
        QCOMPARE(m_device->boxes.shown.size(), 1);
        QCOMPARE(m_device->boxes.shown[0].text,
                 QStringLiteral("Ошибка по месту: Tfm_Main.KKMSettingsRowWrite\n\rТекст ошибки: '%1' is not a valid "
                                "integer value\n\rСообщите разработчикам.")
                     .arg(text));
    }

    void failedReadRetriesThreeTimesAndChangesNothing_data() {
        QTest::addColumn<bool>("writing");
        QTest::newRow("read") << false;
        QTest::newRow("write") << true;
    }
    void failedReadRetriesThreeTimesAndChangesNothing() {
        QFETCH(bool, writing);
        m_device->fake.rows[optionsRow] = row({1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
        m_device->fake.results["GetRowValue"] = -3;
        writing ? m_page->writeRow(1) : m_page->readRow(1);
        QCOMPARE(m_device->fake.callNames(), QStringList({"GetRowValue", "GetRowValue", "GetRowValue"}));
        QCOMPARE(m_device->link.lastResult, -3);
        QVERIFY(!find<QCheckBox>("cb_CodeSell")->isChecked());
    }

    void retrySucceedsOnTheThirdAttempt() {
        m_device->fake.rows[optionsRow] = row({1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0x20});
        m_device->fake.queued["GetRowValue"] = {-3, -3};
        m_device->fake.queued["SetRowValue"] = {-4, -4, -4};
        m_page->writeRow(2);
        QCOMPARE(m_device->fake.callNames(), QStringList({"GetRowValue", "GetRowValue", "GetRowValue", "SetRowValue",
                                                          "SetRowValue", "SetRowValue"}));
        QCOMPARE(m_device->link.lastResult, -4);
    }

    void otherFieldNumbersTouchNoControl() {
        m_device->fake.rows[optionsRow] = row({1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
        m_page->readRow(11);
        m_page->writeRow(0);
        QVERIFY(!find<QCheckBox>("cb_CodeSell")->isChecked());
        QCOMPARE(m_device->fake.callsOf("SetRowValue").size(), 1);
        QCOMPARE(m_device->fake.rows[optionsRow], row({1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
    }
};

QTEST_MAIN(TestOptions)
#include "test_options.moc"
