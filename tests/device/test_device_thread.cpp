// Device calls on the library's own thread: the waiting thread handles its events once a call takes
// long, the exchange log leaves the library alone meanwhile, and a library with an abort hook gives
// up the call it is told to.
#include "device_thread.h"
#include "hanging_device.h"
#include "register_link.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

namespace {

std::thread::id callingThread;

int32_t ORVEL_CALL threadOfCall(uint8_t, uint8_t, uint8_t, uint16_t row, uint8_t*, int32_t) {
    callingThread = std::this_thread::get_id();
    return row;
}

int32_t readRow(RegisterLink& link) {
    uint8_t row[4] = {};
    return link.api.GetRowValue(2, 1, 7, 1, row, 3);
}

} // namespace

class TestDeviceThread : public QObject {
    Q_OBJECT

    std::unique_ptr<HangingDevice> m_device;

private slots:
    void init() { m_device = std::make_unique<HangingDevice>(); }
    void cleanup() { m_device.reset(); }

    void callsRunOneAfterAnotherOnAThreadOfTheirOwn() {
        DeviceTable table;
        table.GetRowValue = threadOfCall;
        DeviceThread thread;
        ExchangeRecorder device(table, ExchangeLog::kCapacity, &thread);
        uint8_t row[4] = {};
        QCOMPARE(device.GetRowValue(2, 1, 7, 11, row, 3), 11);
        const std::thread::id first = callingThread;
        QCOMPARE(device.GetRowValue(2, 1, 7, 12, row, 3), 12);
        QVERIFY(first != std::this_thread::get_id());
        QCOMPARE(callingThread, first);
        QCOMPARE(device.log().at(1).result, 12);
    }

    // A quick call lets nothing in, as a call made on the window's own thread would not.
    void aQuickCallHandlesNoEvents() {
        DeviceThread thread;
        bool fired = false;
        QTimer::singleShot(0, this, [&] { fired = true; });
        QCOMPARE(thread.run([] {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            return 3;
        }),
                 3);
        QVERIFY(!fired);
        QCoreApplication::processEvents();
        QVERIFY(fired);
    }

    void aLongCallHandlesEventsUntilItEnds() {
        DeviceThread thread;
        RegisterLink link(HangingDevice::table(false), &thread);
        int ticks = 0;
        QTimer ticker;
        ticker.setInterval(20);
        connect(&ticker, &QTimer::timeout, this, [&] {
            if (++ticks == 5)
                m_device->answer(4);
        });
        ticker.start();
        QCOMPARE(readRow(link), 4);
        QCOMPARE(ticks, 5);
    }

    // The log's window repaints during a wait; a text it has not seen yet is asked for afterwards.
    void theLogAsksNoErrorTextDuringAWait() {
        DeviceThread thread;
        RegisterLink link(HangingDevice::table(false), &thread);
        QByteArray duringTheWait = "not asked";
        QTimer::singleShot(DeviceThread::kQuietWait * 2, this, [&] {
            duringTheWait = link.api.errorText(-5);
            m_device->answer(-5);
        });
        QCOMPARE(readRow(link), -5);
        QCOMPARE(duringTheWait, QByteArray());
        QCOMPARE(m_device->errorTexts.load(), 0);
        QCOMPARE(link.api.errorText(-5), QByteArray("\xCA\xCA\xCC \xED\xE5 \xEE\xF2\xE2\xE5\xF7\xE0\xE5\xF2"));
        QCOMPARE(m_device->errorTexts.load(), 1);
    }

    void abortEndsOnlyAWaitAndOnlyWithTheHook_data() {
        QTest::addColumn<bool>("abortable");
        QTest::addColumn<int>("aborts");
        QTest::addColumn<int>("result");
        QTest::newRow("the library has the hook") << true << 1 << -5;
        QTest::newRow("a library without one") << false << 0 << 6;
    }
    void abortEndsOnlyAWaitAndOnlyWithTheHook() {
        QFETCH(bool, abortable);
        QFETCH(int, aborts);
        QFETCH(int, result);
        DeviceThread thread;
        RegisterLink link(HangingDevice::table(abortable), &thread);
        link.api.abortWaitingCall();
        QCOMPARE(m_device->aborts.load(), 0);
        // The late answer must not outlive this row and answer the next row's device early.
        QObject rowScope;
        QTimer::singleShot(DeviceThread::kQuietWait * 2, &rowScope, [&] {
            link.api.abortWaitingCall();
            // Without the hook the call waits on; here it is answered late, as a slow register would.
            QTimer::singleShot(200, &rowScope, [&] { m_device->answer(6); });
        });
        QElapsedTimer waited;
        waited.start();
        QCOMPARE(readRow(link), result);
        QCOMPARE(m_device->aborts.load(), aborts);
        QCOMPARE(link.api.log().at(0).result, result);
        QVERIFY(abortable ? waited.elapsed() < 5000 : waited.elapsed() >= 200);
    }
};

QTEST_GUILESS_MAIN(TestDeviceThread)
#include "test_device_thread.moc"
