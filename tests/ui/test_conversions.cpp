#include "conversions.h"
#include "error_reporter.h"
#include "recording_message_boxes.h"

#include <QDate>
#include <QLocale>
#include <QTest>

class TestConversions : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }

    void integers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << "31" << true << 31;
        QTest::newRow("negative") << "-5" << true << -5;
        QTest::newRow("blanks") << " 7 " << true << 7;
        QTest::newRow("letters") << "abc" << false << 0;
        QTest::newRow("lone minus") << "-" << false << 0;
        QTest::newRow("decimal") << "12,5" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("too big") << "2147483648" << false << 0;
        QTest::newRow("trailing letters") << "12a" << false << 0;
    }
    void integers() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, value);
        if (valid) {
            QCOMPARE(strToInt(text), value);
            return;
        }
        try {
            strToInt(text);
            QFAIL("accepted");
        } catch (const ConversionError& e) {
            QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("'%1' is not a valid integer value").arg(text));
        }
    }

    void floats_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<double>("value");
        QTest::newRow("comma") << "12,5" << true << 12.5;
        QTest::newRow("whole") << "100" << true << 100.0;
        QTest::newRow("negative") << "-5" << true << -5.0;
        QTest::newRow("point is not the separator") << "0.5" << false << 0.0;
        QTest::newRow("lone minus") << "-" << false << 0.0;
        QTest::newRow("range") << "1-2" << false << 0.0;
        QTest::newRow("two separators") << "1,2,3" << false << 0.0;
        QTest::newRow("group separator") << "1 000" << false << 0.0;
    }
    void floats() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(double, value);
        if (valid) {
            QCOMPARE(strToFloat(text), value);
            return;
        }
        try {
            strToFloat(text);
            QFAIL("accepted");
        } catch (const ConversionError& e) {
            QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("'%1' is not a valid floating point value").arg(text));
        }
    }

    void dates_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QDate>("date");
        const QString russian = QStringLiteral("dd.MM.yyyy");
        QTest::newRow("full") << "07.07.2008" << russian << QDate(2008, 7, 7);
        QTest::newRow("without leading zeros") << "7.7.2008" << russian << QDate(2008, 7, 7);
        QTest::newRow("two-digit year") << "07.07.08" << russian << QDate(2008, 7, 7);
        QTest::newRow("one-digit year") << "7.7.8" << russian << QDate(2008, 7, 7);
        QTest::newRow("two-digit year 50 years back") << "1.1.75" << russian << QDate(1975, 1, 1);
        QTest::newRow("two-digit year 49 years on") << "1.1.74" << russian << QDate(2074, 1, 1);
        QTest::newRow("four-digit year kept") << "1.1.0008" << russian << QDate(8, 1, 1);
        QTest::newRow("without a year") << "7.7" << russian << QDate(2025, 7, 7);
        QTest::newRow("five digits") << "07.07.02008" << russian << QDate();
        QTest::newRow("no such day") << "31.02.2024" << russian << QDate();
        QTest::newRow("other separator") << "07/07/2008" << russian << QDate();
        QTest::newRow("four numbers") << "1.1.1.2008" << russian << QDate();
        QTest::newRow("empty number") << "1..2008" << russian << QDate();
        QTest::newRow("sign") << "+7.7.2008" << russian << QDate();
        QTest::newRow("empty") << "" << russian << QDate();
        QTest::newRow("month first") << "7/31/08"
                                     << "M/d/yy" << QDate(2008, 7, 31);
        QTest::newRow("month first without a year") << "7/31"
                                                    << "M/d/yy" << QDate(2025, 7, 31);
        QTest::newRow("year first") << "2008-7-31"
                                    << "yyyy-MM-dd" << QDate(2008, 7, 31);
        QTest::newRow("year first without a year") << "7-31"
                                                   << "yyyy-MM-dd" << QDate(2025, 7, 31);
    }
    void dates() {
        QFETCH(QString, text);
        QFETCH(QString, format);
        QFETCH(QDate, date);
        QCOMPARE(scanDate(text, format, QDate(2025, 6, 15)), date);
    }

    void datesUnderOtherLocales() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        const QDate date = strToDate(QStringLiteral(" 7.7.2008 "));
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        QCOMPARE(date, QDate(2008, 7, 7));
        QLocale::setDefault(QLocale::c());
        const QDate named = strToDate(QStringLiteral("15 Mar 2026"));
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        QCOMPARE(named, QDate(2026, 3, 15));
        try {
            strToDate(QStringLiteral("7.7.20080"));
            QFAIL("accepted");
        } catch (const ConversionError& e) {
            QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("'7.7.20080' is not a valid date"));
        }
    }

    void guardReportsTheConversionInOneBox() {
        RecordingMessageBoxes boxes;
        ErrorReporter reporter(boxes);
        bool after = false;
        const bool finished = reporter.guard(QStringLiteral("Tfm_Main.KKMSettingsRowWrite"), [&] {
            strToInt(QStringLiteral("abc"));
            after = true;
        });
        QVERIFY(!finished);
        QVERIFY(!after);
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(boxes.shown[0].icon, QMessageBox::Critical);
        QCOMPARE(boxes.shown[0].caption, QStringLiteral("Ошибка"));
        QCOMPARE(boxes.shown[0].text, QStringLiteral("Ошибка по месту: Tfm_Main.KKMSettingsRowWrite\n\r"
                                                     "Текст ошибки: 'abc' is not a valid integer value\n\r"
                                                     "Сообщите разработчикам."));
    }

    void guardLetsACleanBodyThrough() {
        RecordingMessageBoxes boxes;
        ErrorReporter reporter(boxes);
        int runs = 0;
        QVERIFY(reporter.guard(QStringLiteral("Tfm_Main.FormCreate"), [&] { ++runs; }));
        QCOMPARE(runs, 1);
        QVERIFY(boxes.shown.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestConversions)
#include "test_conversions.moc"
