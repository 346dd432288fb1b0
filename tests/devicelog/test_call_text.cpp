#include "call_text.h"

#include <QLocale>
#include <QTest>

Q_DECLARE_METATYPE(DeviceFunction)

class TestCallText : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }

    void calls_data() {
        QTest::addColumn<DeviceFunction>("function");
        QTest::addColumn<QList<int>>("args");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("sentText");
        QTest::addColumn<QString>("receivedText");
        using F = DeviceFunction;
        QTest::newRow("port name") << F::GetPortName << QList<int>{1} << QByteArray() << QByteArray("COM1\0", 5) << 0
                                   << "порт № 1"
                                   << "«COM1»";
        QTest::newRow("open port") << F::SetPort << QList<int>{115200} << QByteArray("EMULATOR-WIRE\0", 14)
                                   << QByteArray() << 0 << "порт «EMULATOR-WIRE», скорость 115200"
                                   << "";
        QTest::newRow("identification") << F::GetDeviceType << QList<int>{2, 1} << QByteArray()
                                        << QByteArray("\x03\x00\x12\x10\xCA\xCA\xCC\0", 8) << 0 << "ККМ 2, ПК 1"
                                        << "03 00 12 10, «ККМ»";
        QTest::newRow("row read") << F::GetRowValue << QList<int>{2, 1, 7, 3, 2} << QByteArray()
                                  << QByteArray::fromHex("0a0bff") << 0 << "ККМ 2, ПК 1, таблица 7, строка 3, байт 3"
                                  << "0A 0B FF";
        QTest::newRow("row write") << F::SetRowValue << QList<int>{44, 1, 2, 1, 1} << QByteArray::fromHex("00c0")
                                   << QByteArray() << 0 << "ККМ 44, ПК 1, таблица 2, строка 1, байт 2: 00 C0"
                                   << "";
        QTest::newRow("goods write") << F::SetPLU << QList<int>{2, 1, 15}
                                     << QByteArray("\xCC\xEE\xEB\xEE\xEA\xEE\0\0"
                                                   "3\0",
                                                   10)
                                     << QByteArray() << 0 << "ККМ 2, ПК 1, товар 15: «Молоко», «», «3»"
                                     << "";
        QTest::newRow("goods read") << F::GetPLU << QList<int>{2, 1, 9999} << QByteArray()
                                    << QByteArray("\xC0\0"
                                                  "0.00\0",
                                                  7)
                                    << 0 << "ККМ 2, ПК 1, товар 9999"
                                    << "«А», «0.00»";
        QTest::newRow("logo header") << F::WriteLogo << QList<int>{2, 1, 0, 1} << QByteArray::fromHex("0202")
                                     << QByteArray() << 0 << "ККМ 2, ПК 1, заголовок, байт 2: 02 02"
                                     << "";
        QTest::newRow("logo of an unknown kind") << F::WriteLogo << QList<int>{2, 1, 7, 0} << QByteArray::fromHex("01")
                                                 << QByteArray() << 0 << "ККМ 2, ПК 1, вид 7, байт 1: 01"
                                                 << "";
        QTest::newRow("journal record") << F::GetJRecord << QList<int>{2, 1, 7} << QByteArray()
                                        << QByteArray::fromHex("0207000000") << 7 << "ККМ 2, ПК 1, запись 7"
                                        << "значение 7: 02 07 00 00 00";
        QTest::newRow("error text") << F::GetErrString << QList<int>{-5} << QByteArray()
                                    << QByteArray("\xCD\xE5\xF2\0", 4) << 0 << "код -5"
                                    << "«Нет»";
        QTest::newRow("close") << F::ClosePort << QList<int>{} << QByteArray() << QByteArray() << 0 << ""
                               << "";
    }
    void calls() {
        QFETCH(DeviceFunction, function);
        QFETCH(QList<int>, args);
        QFETCH(QByteArray, sent);
        QFETCH(QByteArray, received);
        QFETCH(int, value);
        DeviceCall call;
        call.function = function;
        std::copy(args.begin(), args.end(), call.args.begin());
        call.sent = sent.toStdString();
        call.received = received.toStdString();
        call.value = value;
        QTEST(sentText(call), "sentText");
        QTEST(receivedText(call), "receivedText");
    }

    void duration() {
        QCOMPARE(durationText(std::chrono::microseconds(10125)), QStringLiteral("10,125 мс"));
        QCOMPARE(durationText(std::chrono::nanoseconds(400)), QStringLiteral("0,000 мс"));
    }
};

QTEST_GUILESS_MAIN(TestCallText)
#include "test_call_text.moc"
