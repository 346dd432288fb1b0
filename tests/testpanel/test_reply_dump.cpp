#include "reply_dump.h"

#include <QTest>

class TestReplyDump : public QObject {
    Q_OBJECT

private slots:
    void dump_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("dump");
        QTest::newRow("no data: the five head bytes") << QByteArray::fromHex("0a1f000000") << 0 << "0A 1F 00 00 00 ";
        QTest::newRow("r = 3") << QByteArray::fromHex("0203000000171402") << 3 << "02 03 00 00 00 17 14 02 ";
        QTest::newRow("0x00 and 0xFF") << QByteArray::fromHex("00ff00ff00ff") << 1 << "00 FF 00 FF 00 FF ";
        QTest::newRow("bytes past r + 5 are not shown")
            << QByteArray::fromHex("0102030405060708") << 1 << "01 02 03 04 05 06 ";
    }
    void dump() {
        QFETCH(QByteArray, reply);
        QFETCH(int, result);
        QFETCH(QString, dump);
        QCOMPARE(replyDump(reinterpret_cast<const uint8_t*>(reply.constData()), result), dump);
    }
};

QTEST_APPLESS_MAIN(TestReplyDump)
#include "test_reply_dump.moc"
