// The framing between the bridge form of the device library and orvel-bridge.exe.
#include "frame_codec.h"
#include "functions.h"

#include <QTest>

using bridge::Bytes;
using bridge::Message;

Q_DECLARE_METATYPE(Message)

namespace {

std::string bytesOf(const QByteArray& hex) {
    const QByteArray raw = QByteArray::fromHex(hex);
    return std::string(raw.constData(), static_cast<std::size_t>(raw.size()));
}

} // namespace

class TestFrameCodec : public QObject {
    Q_OBJECT

private slots:
    void encodesTheWireLayout_data() {
        QTest::addColumn<Message>("message");
        QTest::addColumn<QByteArray>("hex");
        QTest::newRow("no arguments") << Message{3, {}, {}} << QByteArray("03000000" "03" "00" "00");
        QTest::newRow("GetRowValue call")
            << Message{uint8_t(bridge::Function::GetRowValue), {2, 1, 9, 300, 17}, {}}
            << QByteArray("17000000" "07" "05" "02000000" "01000000" "09000000" "2c010000" "11000000" "00");
        QTest::newRow("negative result, null and empty texts")
            << Message{1, {-5}, {Bytes(), Bytes("")}}
            << QByteArray("0f000000" "01" "01" "fbffffff" "02" "ffffffff" "00000000");
        QTest::newRow("Windows-1251 text with a zero byte inside")
            << Message{10, {}, {Bytes(std::string("\xD7\xE0\x00\xE9", 4))}}
            << QByteArray("0b000000" "0a" "00" "01" "04000000" "d7e000e9");
    }

    void encodesTheWireLayout() {
        QFETCH(Message, message);
        QFETCH(QByteArray, hex);
        const std::string frame = bridge::encodeFrame(message);
        QCOMPARE(QByteArray::fromStdString(frame).toHex(), hex);
        QCOMPARE(bridge::payloadLength(frame), uint32_t(frame.size() - bridge::kLengthSize));
    }

    void decodesWhatWasEncoded_data() {
        QTest::addColumn<Message>("message");
        QTest::newRow("greeting") << Message{uint8_t(bridge::Function::Hello), {bridge::Ready, 0}, {}};
        QTest::newRow("extreme numbers") << Message{16, {INT32_MIN, INT32_MAX, -1, 0}, {}};
        QTest::newRow("seven goods texts")
            << Message{9, {0}, {Bytes("\xD2\xEE\xE2\xE0\xF0"), Bytes("4600000000017"), Bytes("3"), Bytes("12.50"),
                                Bytes("1"), Bytes("0.00"), Bytes()}};
        QTest::newRow("journal reply array of r + 5 bytes")
            << Message{12, {3, 42}, {Bytes(std::string("\x01\x02\x00\xFF\x7F\x80\x00\x0A", 8))}};
        QTest::newRow("a 64 KiB row") << Message{7, {65536}, {Bytes(std::string(65536, '\xA5'))}};
        QTest::newRow("255 numbers") << Message{2, std::vector<int32_t>(255, -7), {}};
    }

    void decodesWhatWasEncoded() {
        QFETCH(Message, message);
        const auto decoded = bridge::decodeFrame(bridge::encodeFrame(message));
        QVERIFY(decoded.has_value());
        QVERIFY(*decoded == message);
    }

    void refusesDamagedFrames_data() {
        QTest::addColumn<QByteArray>("hex");
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("length only") << QByteArray("03000000");
        QTest::newRow("one byte short") << QByteArray("03000000" "03" "00");
        QTest::newRow("one byte too many") << QByteArray("03000000" "03" "00" "00" "00");
        QTest::newRow("length says more than there is") << QByteArray("04000000" "03" "00" "00");
        QTest::newRow("number cut short") << QByteArray("05000000" "01" "01" "fbff" "00");
        QTest::newRow("string longer than the frame") << QByteArray("0a000000" "0a" "00" "01" "05000000" "d7e0e9");
        QTest::newRow("more strings announced") << QByteArray("0a000000" "0a" "00" "02" "02000000" "d7e0" "00");
    }

    void refusesDamagedFrames() {
        QFETCH(QByteArray, hex);
        QVERIFY(!bridge::decodeFrame(bytesOf(hex)).has_value());
    }

    void refusesAFrameOverTheSizeLimit() {
        const std::string frame = bridge::encodeFrame({7, {}, {Bytes(std::string(bridge::kMaxPayload, 'x'))}});
        QVERIFY(bridge::payloadLength(frame) > bridge::kMaxPayload);
        QVERIFY(!bridge::decodeFrame(frame).has_value());
    }

    void missingFieldsReadAsZeroAndNull() {
        const Message reply{7, {-5}, {Bytes("x")}};
        QCOMPARE(bridge::numberAt(reply, 0), -5);
        QCOMPARE(bridge::numberAt(reply, 1), 0);
        QCOMPARE(bridge::stringAt(reply, 0).value_or(""), std::string("x"));
        QVERIFY(!bridge::stringAt(reply, 1).has_value());
    }
};

QTEST_GUILESS_MAIN(TestFrameCodec)
#include "test_frame_codec.moc"
