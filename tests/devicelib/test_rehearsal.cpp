// The rehearsal ports' parts that need no clock: the port list, the wire's byte count and the
// fault plan. Their timing is measured by bench_wire; their faults run through the window in
// test_rehearsal_ports.
#include "fault_plan.h"
#include "ports.h"
#include "result_codes.h"
#include "wire_time.h"

#include <QtTest>

using namespace orvel;

Q_DECLARE_METATYPE(orvel::Fault)

namespace {

QList<Fault> faultsOf(FaultInjector& faults, int exchanges, bool repeated = true, uint8_t table = 0) {
    QList<Fault> seen;
    for (int i = 0; i < exchanges; ++i)
        seen << faults.next(repeated, table);
    return seen;
}

} // namespace

class TestRehearsal : public QObject {
    Q_OBJECT

private slots:
    void portsInListOrder() {
        QStringList names;
        const char* name = nullptr;
        for (uint8_t index = 0; portName(index, &name) == Ok; ++index)
            names << name;
        QCOMPARE(names, QStringList({"EMULATOR", "EMULATOR-WIRE", "EMULATOR-FAULTS"}));
        QCOMPARE(portName(3, &name), NoSuchPort);
        Port port = Port::Emulator;
        QVERIFY(portByName("EMULATOR-FAULTS", port) && port == Port::Faults);
        QVERIFY(!portByName("EMULATOR-", port));
    }

    void wireTimeCountsFramedBytes_data() {
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("request");
        QTest::addColumn<int>("reply");
        QTest::addColumn<qint64>("microseconds");
        // 2 frames of 10 bytes and a status byte, 11 bits a byte.
        QTest::newRow("goods record at 115200") << 115200 << 2 << kGoodsRecordBytes << qint64(106 * 11 * 1e6 / 115200);
        QTest::newRow("status only at 9600") << 9600 << 0 << 0 << qint64(21 * 11 * 1e6 / 9600);
        QTest::newRow("slowest speed") << 1200 << 15 << 0 << qint64(36 * 11 * 1e6 / 1200);
        QTest::newRow("no speed set") << 0 << 2 << 83 << qint64(0);
    }
    void wireTimeCountsFramedBytes() {
        QFETCH(int, baud);
        QFETCH(int, request);
        QFETCH(int, reply);
        QFETCH(qint64, microseconds);
        QCOMPARE(qint64(wireTime(baud, request, reply).count()), microseconds);
    }

    void planText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("plan"); // garble-every, lost-after, slow-call, slow-ms, refuse-table
        const FaultPlan d;
        QTest::newRow("empty keeps the defaults")
            << "" << QList<int>{d.garbleEvery, d.lostAfter, d.slowCall, d.slowMs, d.refuseTable};
        QTest::newRow("file lines with comments")
            << "# rehearsal\ngarble-every = 3\r\nlost-after=0  # never\nslow-call=7\nslow-ms=20\nrefuse-table=9\n"
            << QList<int>{3, 0, 7, 20, 9};
        QTest::newRow("pairs in a variable")
            << "lost-after=12;refuse-table=0" << QList<int>{d.garbleEvery, 12, d.slowCall, d.slowMs, 0};
        QTest::newRow("bad values and keys skipped")
            << "garble-every=-1;lost-after=5x;slow-ms=;unknown=4;slow-call 3"
            << QList<int>{d.garbleEvery, d.lostAfter, d.slowCall, d.slowMs, d.refuseTable};
    }
    void planText() {
        QFETCH(QString, text);
        QFETCH(QList<int>, plan);
        const FaultPlan parsed = parseFaultPlan(text.toStdString());
        QCOMPARE((QList<int>{parsed.garbleEvery, parsed.lostAfter, parsed.slowCall, parsed.slowMs, parsed.refuseTable}),
                 plan);
    }

    void variableWinsOverTheFile() {
        QTemporaryDir folder;
        QFile file(folder.filePath("orvel-faults.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("lost-after=7\n");
        file.close();
        const std::filesystem::path path = folder.path().toStdString();
        qunsetenv("ORVEL_FAULTS");
        QCOMPARE(loadFaultPlan(path).lostAfter, 7);
        qputenv("ORVEL_FAULTS", "lost-after=9");
        QCOMPARE(loadFaultPlan(path).lostAfter, 9);
        qunsetenv("ORVEL_FAULTS");
        QCOMPARE(loadFaultPlan(path / "missing").lostAfter, FaultPlan().lostAfter);
    }

    void garbledOnlyWhereTheProgramRepeats() {
        FaultInjector faults({.garbleEvery = 3, .lostAfter = 0, .slowCall = 0, .slowMs = 0, .refuseTable = 0});
        QCOMPARE(faultsOf(faults, 2, false), QList<Fault>(2, Fault::None));
        QCOMPARE(faultsOf(faults, 7), (QList<Fault>{Fault::None, Fault::None, Fault::Garbled, Fault::None, Fault::None,
                                                    Fault::Garbled, Fault::None}));
    }

    void lostStaysLost() {
        FaultInjector faults({.garbleEvery = 0, .lostAfter = 2, .slowCall = 0, .slowMs = 0, .refuseTable = 0});
        QCOMPARE(faultsOf(faults, 5, false),
                 (QList<Fault>{Fault::None, Fault::None, Fault::Lost, Fault::Lost, Fault::Lost}));
    }

    void slowOnceRefusedAlways() {
        FaultInjector faults({.garbleEvery = 0, .lostAfter = 0, .slowCall = 2, .slowMs = 5, .refuseTable = 4});
        QCOMPARE(faultsOf(faults, 3, true, 3), (QList<Fault>{Fault::None, Fault::Slow, Fault::None}));
        QCOMPARE(faultsOf(faults, 2, true, 4), QList<Fault>(2, Fault::Refused));
    }

    void defaultsShowEveryFaultInAShortSession() {
        FaultInjector faults;
        // Identification, then the automatic read of 42 rows; the advertising table written back.
        QList<Fault> seen = faultsOf(faults, 2, false) + faultsOf(faults, 42) + faultsOf(faults, 6, true, 4);
        // Then the goods read until the connection is lost.
        seen += faultsOf(faults, 150);
        for (Fault fault : {Fault::Garbled, Fault::Slow, Fault::Refused, Fault::Lost})
            QVERIFY(seen.contains(fault));
        QCOMPARE(seen.count(Fault::Slow), 1);
    }
};

QTEST_APPLESS_MAIN(TestRehearsal)
#include "test_rehearsal.moc"
