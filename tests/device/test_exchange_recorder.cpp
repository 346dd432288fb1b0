// The recorder against a scripted register: what the program sees is untouched, and the log
// holds exactly what went in and out.
#include "exchange_recorder.h"
#include "fake_device.h"

#include <QTest>

namespace {

QByteArray sentOf(const DeviceCall& call) {
    return QByteArray::fromStdString(call.sent);
}
QByteArray receivedOf(const DeviceCall& call) {
    return QByteArray::fromStdString(call.received);
}
const DeviceCall& last(const ExchangeRecorder& recorder) {
    return recorder.log().at(recorder.log().nextSequence() - 1);
}

} // namespace

class TestExchangeRecorder : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeDevice> m_fake;

private slots:
    void init() {
        m_fake.reset();
        m_fake = std::make_unique<FakeDevice>();
    }

    void rowsBothWays() {
        ExchangeRecorder device(FakeDevice::table());
        m_fake->rows[{7, 3}] = QByteArray::fromHex("0a0b0c");
        uint8_t row[3] = {};
        QCOMPARE(device.GetRowValue(2, 1, 7, 3, row, 2), 0);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(row), 3), QByteArray::fromHex("0a0b0c"));
        const DeviceCall& read = last(device);
        QCOMPARE(read.function, DeviceFunction::GetRowValue);
        QCOMPARE(read.args, (std::array<int32_t, 5>{2, 1, 7, 3, 2}));
        QCOMPARE(receivedOf(read), QByteArray::fromHex("0a0b0c"));
        QVERIFY(read.sent.empty());

        m_fake->results["SetRowValue"] = 14;
        const uint8_t written[2] = {0xFF, 0x00};
        QCOMPARE(device.SetRowValue(44, 1, 9, 8, written, 1), 14);
        const DeviceCall& write = last(device);
        QCOMPARE(write.result, 14);
        QCOMPARE(write.args, (std::array<int32_t, 5>{44, 1, 9, 8, 1}));
        QCOMPARE(sentOf(write), QByteArray::fromHex("ff00"));
        QCOMPARE(m_fake->callsOf("SetRowValue").value(0).bytes, QByteArray::fromHex("ff00"));
    }

    void goodsTextsBothWays() {
        ExchangeRecorder device(FakeDevice::table());
        QCOMPARE(
            device.SetPLU(2, 1, 9999, "\xCC\xEE\xEB\xEE\xEA\xEE", "4600000000015", "3", "45.50", "1", "0.00", "0.00"),
            0);
        const QByteArray texts("\xCC\xEE\xEB\xEE\xEA\xEE\0"
                               "4600000000015\0"
                               "3\0"
                               "45.50\0"
                               "1\0"
                               "0.00\0"
                               "0.00\0",
                               41);
        QCOMPARE(sentOf(last(device)), texts);
        QCOMPARE(last(device).args[2], 9999);

        const char* t[7] = {};
        QCOMPARE(device.GetPLU(2, 1, 9999, &t[0], &t[1], &t[2], &t[3], &t[4], &t[5], &t[6]), 0);
        QCOMPARE(t[3], m_fake->goods[9999][3].constData()); // the library's own texts reach the program
        QCOMPARE(receivedOf(last(device)), texts);
    }

    void identificationAndQueries() {
        ExchangeRecorder device(FakeDevice::table());
        uint8_t b[4] = {};
        const char* model = nullptr;
        QCOMPARE(device.GetDeviceType(2, 1, &b[0], &b[1], &b[2], &b[3], &model), 0);
        QCOMPARE(receivedOf(last(device)), QByteArray::fromHex("03001210") + m_fake->model + '\0');

        m_fake->replies["GetJRecord"] = QByteArray::fromHex("02070000000102");
        m_fake->queued["GetJRecord"] = {2};
        m_fake->queryValue = 7;
        int32_t value = 0;
        const uint8_t* reply = nullptr;
        QCOMPARE(device.GetJRecord(2, 1, 7, &value, &reply), 2);
        QCOMPARE(value, 7);
        QCOMPARE(last(device).value, 7);
        QCOMPARE(receivedOf(last(device)), QByteArray::fromHex("02070000000102"));

        m_fake->queued["GetJRecord"] = {ExchangeRecorder::kLargestReply};
        device.GetJRecord(2, 1, 7, &value, &reply);
        QVERIFY2(last(device).received.empty(), "a reply no register sends is not read");
    }

    void portCalls() {
        m_fake->ports = {"EMULATOR", "COM1"};
        ExchangeRecorder device(FakeDevice::table());
        const char* name = nullptr;
        QCOMPARE(device.GetPortName(1, &name), 0);
        QCOMPARE(receivedOf(last(device)), QByteArray("COM1", 5));
        QCOMPARE(device.GetPortName(2, &name), 1);
        QVERIFY(last(device).received.empty());
        m_fake->results["SetPort"] = -2;
        QCOMPARE(device.SetPort("COM1", 115200), -2);
        QCOMPARE(last(device).args[0], 115200);
        QCOMPARE(sentOf(last(device)), QByteArray("COM1", 5));
    }

    void failureKeepsNoAnswerAndFindsItsText() {
        m_fake->errorTexts[-5] = "\xCD\xE5\xF2 \xF1\xE2\xFF\xE7\xE8"; // "Нет связи"
        m_fake->errorTexts[-7] = "other";
        ExchangeRecorder device(FakeDevice::table());
        m_fake->goods[5] = QByteArrayList(7, "x");
        m_fake->queued["GetPLU"] = {-5};
        const char* t[7] = {};
        QCOMPARE(device.GetPLU(2, 1, 5, &t[0], &t[1], &t[2], &t[3], &t[4], &t[5], &t[6]), -5);
        QCOMPARE(last(device).result, -5);
        QVERIFY(last(device).received.empty());
        QCOMPARE(m_fake->callNames().count("GetErrString"), 0);

        // Asked once, then kept.
        QCOMPARE(device.errorText(-5), m_fake->errorTexts[-5]);
        QCOMPARE(device.errorText(-5), m_fake->errorTexts[-5]);
        QCOMPARE(m_fake->callNames().count("GetErrString"), 1);
        // The program's own question is recorded and its answer kept.
        m_fake->errorTexts[-7] = "changed";
        QCOMPARE(QByteArray(device.GetErrString(-7)), QByteArray("changed"));
        QCOMPARE(device.errorText(-7), QByteArray("changed"));
        QCOMPARE(last(device).function, DeviceFunction::GetErrString);
        QCOMPARE(receivedOf(last(device)), QByteArray("changed", 8));
    }

    void ringKeepsItsBound() {
        ExchangeRecorder device(FakeDevice::table(), 3);
        for (int number = 1; number <= 5; ++number) {
            const char* t[7] = {};
            device.GetPLU(2, 1, uint16_t(number), &t[0], &t[1], &t[2], &t[3], &t[4], &t[5], &t[6]);
        }
        const ExchangeLog& log = device.log();
        QCOMPARE(log.size(), std::size_t(3));
        QCOMPARE(log.firstSequence(), uint64_t(2));
        QCOMPARE(log.nextSequence(), uint64_t(5));
        QList<int> numbers;
        for (uint64_t sequence = log.firstSequence(); sequence < log.nextSequence(); ++sequence)
            numbers << log.at(sequence).args[2];
        QCOMPARE(numbers, QList<int>({3, 4, 5}));
    }
};

QTEST_GUILESS_MAIN(TestExchangeRecorder)
#include "test_exchange_recorder.moc"
