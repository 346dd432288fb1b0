#include "cp1251.h"

#include <QTest>

class TestCp1251 : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ascii") << QStringLiteral("PLU 12.50") << QByteArray("PLU 12.50");
        QTest::newRow("capitals") << QStringLiteral("АБВЯ") << QByteArray("\xC0\xC1\xC2\xDF");
        QTest::newRow("small") << QStringLiteral("абвя") << QByteArray("\xE0\xE1\xE2\xFF");
        QTest::newRow("yo") << QStringLiteral("Ёё") << QByteArray("\xA8\xB8");
        QTest::newRow("numero and quotes") << QStringLiteral("№«»") << QByteArray("\xB9\xAB\xBB");
        QTest::newRow("empty") << QString() << QByteArray();
    }
    void roundTrip() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(toCp1251(text), bytes);
        QCOMPARE(fromCp1251(bytes), text);
        QVERIFY(fitsCp1251(text));
    }

    void everyByteSurvivesARoundTrip() {
        for (int b = 1; b < 256; ++b) {
            const QByteArray byte(1, char(b));
            QCOMPARE(toCp1251(fromCp1251(byte)), byte);
        }
        // The one byte without a character is the control U+0098, as on Windows.
        QCOMPARE(fromCp1251("\x98"), QString(QChar(0x98)));
    }

    void unrepresentableCharacters() {
        const QString text = QStringLiteral("a€b漢");
        QVERIFY(!fitsCp1251(QStringLiteral("漢")));
        QCOMPARE(toCp1251(QStringLiteral("a漢b")), QByteArray("a?b"));
        QVERIFY(fitsCp1251(QStringLiteral("€"))); // 0x88 in this code page
        QCOMPARE(toCp1251(text).size(), text.size());
    }

    void deviceTextStopsAtTheTerminator() {
        QCOMPARE(fromDeviceText("\xCA\xCA\xCC\0tail"), QStringLiteral("ККМ"));
        QCOMPARE(fromDeviceText(nullptr), QString());
    }
};

QTEST_GUILESS_MAIN(TestCp1251)
#include "test_cp1251.moc"
