#include "cp1251.h"
#include "emulated_register.h"
#include "error_texts.h"
#include "factory_state.h"
#include "result_codes.h"
#include "state_file.h"

#include <csignal>
#include <fstream>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace orvel;

namespace {

struct Shape {
    uint8_t table;
    uint16_t rows;
    int size;
};
constexpr Shape kShapes[] = {{2, 1, 12}, {3, 1, 10},  {4, 6, 25}, {5, 2, 3},
                             {6, 4, 7},  {7, 16, 14}, {8, 4, 3},  {9, 8, 18}};

const QByteArrayList kEmptyGoods{"", "", "0", "0.00", "0", "0.00", "0.00"};

std::filesystem::path stateFileIn(const QTemporaryDir& dir) {
    return std::filesystem::path(dir.path().toStdString()) / "data" / "register.state";
}

QByteArray bytes(const void* data, int size) {
    return QByteArray(static_cast<const char*>(data), size);
}

// The first byte of row 5/1 in the state file, 0 when there is no valid file.
uint8_t savedRow51(const std::filesystem::path& file) {
    const auto state = readStateFile(file);
    return state ? state->tables.row(5, 1)[0] : 0;
}

QByteArray readRow(EmulatedRegister& device, uint8_t table, uint16_t row, int size) {
    QByteArray row_(size, '\0');
    return device.readRow(table, row, reinterpret_cast<uint8_t*>(row_.data()), size - 1) == size ? row_ : "";
}

// Every row of every table, one after another; `offset` gets where the given row starts.
QByteArray allRows(EmulatedRegister& device, uint8_t table = 0, uint16_t row = 0, int* offset = nullptr) {
    QByteArray all;
    for (const auto& shape : kShapes)
        for (uint16_t r = 1; r <= shape.rows; ++r) {
            if (offset && shape.table == table && r == row)
                *offset = int(all.size());
            all += readRow(device, shape.table, r, shape.size);
        }
    return all;
}

QByteArrayList readGoods(EmulatedRegister& device, uint16_t number) {
    const char* t[7] = {};
    if (device.readGoods(number, &t[0], &t[1], &t[2], &t[3], &t[4], &t[5], &t[6]) != Ok)
        return {};
    return {t[0], t[1], t[2], t[3], t[4], t[5], t[6]};
}

int32_t writeGoods(EmulatedRegister& device, uint16_t number, const QByteArrayList& t) {
    return device.writeGoods(number, {t[0], t[1], t[2], t[3], t[4], t[5], t[6]});
}

int32_t writeLogo(EmulatedRegister& device, int32_t kind, const QByteArray& hex) {
    const QByteArray record = QByteArray::fromHex(hex);
    return device.writeLogo(kind, reinterpret_cast<const uint8_t*>(record.data()), int32_t(record.size()) - 1);
}

} // namespace

class TestEmulatedRegister : public QObject {
    Q_OBJECT

private slots:
    void init();
    void callsFailUntilThePortIsOpen();
    void rows_data();
    void rows();
    void unknownTables();
    void refusedValues_data();
    void refusedValues();
    void operatorsKeepTheirServiceBytes();
    void goodsTexts_data();
    void goodsTexts();
    void goodsNumbers();
    void logo_data();
    void logo();
    void journal();
    void occupiedGoodsAndStock();
    void stateSurvivesReopening();
    void changesWithinTheIntervalWaitForClose();
    void pendingChangeIsSavedWithinTheInterval();
    void killedProgramKeepsItsLastChange_data();
    void killedProgramKeepsItsLastChange();
    void unsaveableStateStillWorksInMemory();
    void unwritableFolderIsReported();
    void folderOfAnotherUserIsRefused();
    void staleTemporariesGoWhenTheRegisterLoads();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<EmulatedRegister> m_device; // open, with a state file of its own
};

void TestEmulatedRegister::init() {
    m_device.reset();
    m_dir = std::make_unique<QTemporaryDir>();
    m_device = std::make_unique<EmulatedRegister>(stateFileIn(*m_dir));
    QCOMPARE(m_device->open("EMULATOR", 9600), Ok);
}

void TestEmulatedRegister::callsFailUntilThePortIsOpen() {
    m_device.reset(); // the port is one register's at a time
    EmulatedRegister device(stateFileIn(*m_dir));
    uint8_t b[4] = {};
    const char* t = nullptr;
    const uint8_t* reply = nullptr;
    int32_t value = 0;
    const auto results = [&] {
        return QList<int32_t>{device.deviceType(&b[0], &b[1], &b[2], &b[3], &t),
                              device.serialNumber(&t),
                              device.readRow(5, 1, b, 2),
                              device.writeRow(5, 1, b, 2),
                              device.readGoods(1, &t, &t, &t, &t, &t, &t, &t),
                              writeGoods(device, 1, kEmptyGoods),
                              device.writeLogo(0, b, 1),
                              device.journalCount(&value, &reply),
                              device.journalRecord(1, &value, &reply),
                              device.nextJournalRecord(&value, &reply),
                              device.findOccupiedGoods(&value, &reply),
                              device.goodsStock(1, &value, &reply)};
    };
    QCOMPARE(results(), QList<int32_t>(12, PortNotOpen));
    QCOMPARE(device.open("EMULATOR", 9600), Ok);
    QCOMPARE(device.close(), Ok);
    QCOMPARE(results(), QList<int32_t>(12, PortNotOpen));
}

void TestEmulatedRegister::rows_data() {
    QTest::addColumn<int>("table");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("size");
    for (const auto& shape : kShapes)
        QTest::addRow("table %d", shape.table) << int(shape.table) << int(shape.rows) << shape.size;
}

void TestEmulatedRegister::rows() {
    QFETCH(int, table);
    QFETCH(int, rows);
    QFETCH(int, size);
    uint8_t buffer[32] = {};
    int offset = -1;
    const QByteArray before = allRows(*m_device, table, rows, &offset);
    const struct {
        int row;
        int lastIndex;
        int32_t expected;
    } refused[] = {{0, size - 1, NoSuchRow},
                   {rows + 1, size - 1, NoSuchRow},
                   {rows, size - 2, RowSizeMismatch},
                   {rows, size, RowSizeMismatch},
                   {rows, -1, RowSizeMismatch}};
    for (const auto& call : refused) {
        QCOMPARE(m_device->writeRow(table, call.row, buffer, call.lastIndex), call.expected);
        QCOMPARE(m_device->readRow(table, call.row, buffer, call.lastIndex), call.expected);
    }
    QCOMPARE(m_device->writeRow(table, rows, nullptr, size - 1), NullPointer);
    QCOMPARE(allRows(*m_device), before);

    // The stored row with byte 0 changed to 2, a value every table accepts there.
    QVERIFY(m_device->readRow(table, rows, buffer, size - 1) == size);
    buffer[0] = 2;
    QCOMPARE(m_device->writeRow(table, rows, buffer, size - 1), size);
    QCOMPARE(allRows(*m_device), QByteArray(before).replace(offset, size, bytes(buffer, size)));
}

void TestEmulatedRegister::refusedValues_data() {
    QTest::addColumn<int>("table");
    QTest::addColumn<int>("row");
    QTest::addColumn<QByteArray>("hex");
    QTest::addColumn<int>("expected");
    const QByteArray blanks = QByteArray(24, ' ').toHex();
    QTest::newRow("contrast 0") << 3 << 1 << QByteArray("00010101010101010101") << int(BadContrast);
    QTest::newRow("contrast 5") << 3 << 1 << QByteArray("05000000000000000000") << int(BadContrast);
    QTest::newRow("contrast 4") << 3 << 1 << QByteArray("04000000000000000000") << int(Ok);
    QTest::newRow("stretch 4") << 4 << 6 << blanks + "04" << int(BadStretchMode);
    QTest::newRow("stretch 255") << 4 << 1 << blanks + "ff" << int(BadStretchMode);
    QTest::newRow("stretch 3") << 4 << 1 << blanks + "03" << int(Ok);
    QTest::newRow("percent not BCD") << 5 << 1 << QByteArray("1a0001") << int(BadPercent);
    QTest::newRow("hundredths not BCD") << 5 << 2 << QByteArray("00f001") << int(BadPercent);
    QTest::newRow("permission 3") << 5 << 1 << QByteArray("050003") << int(BadPermission);
    QTest::newRow("permission 255") << 5 << 2 << QByteArray("9999ff") << int(BadPermission);
    QTest::newRow("99.99 internal only") << 5 << 2 << QByteArray("999902") << int(Ok);
    QTest::newRow("speed 9") << 8 << 1 << QByteArray("000009") << int(BadSpeedIndex);
    QTest::newRow("speed 255") << 8 << 4 << QByteArray("0000ff") << int(BadSpeedIndex);
    QTest::newRow("scales interface 255") << 8 << 2 << QByteArray("ff0004") << int(BadScalesSetting);
    QTest::newRow("scales protocol 2") << 8 << 2 << QByteArray("000204") << int(BadScalesSetting);
    QTest::newRow("scales current loop, Massa, 115200") << 8 << 2 << QByteArray("010108") << int(Ok);
    QTest::newRow("other devices ignore bytes 0 and 1") << 8 << 3 << QByteArray("ffff08") << int(Ok);
    const QByteArray name5 = QByteArray("Tax 1").toHex();
    QTest::newRow("tax rate not BCD") << 6 << 1 << name5 + "1a00" << int(BadPercent);
    QTest::newRow("tax rate 99.99") << 6 << 4 << name5 + "9999" << int(Ok);
    const QByteArray name11 = QByteArray("Section 1  ").toHex();
    QTest::newRow("section tax code 5") << 7 << 1 << name11 + "050000" << int(BadTaxCode);
    QTest::newRow("section digits 10") << 7 << 2 << name11 + "040a00" << int(BadDigits);
    QTest::newRow("section field of use 2") << 7 << 3 << name11 + "000902" << int(BadFieldOfUse);
    QTest::newRow("section 4, 9, services") << 7 << 16 << name11 + "040901" << int(Ok);
}

void TestEmulatedRegister::operatorsKeepTheirServiceBytes() {
    QByteArray row(18, '\0');
    auto* bytes = reinterpret_cast<uint8_t*>(row.data());
    QCOMPARE(m_device->readRow(9, 3, bytes, 17), 18);
    row.replace(0, 14, "Cashier 3     ");
    row[17] = char(0xFF);
    QCOMPARE(m_device->writeRow(9, 3, bytes, 17), 18);
    row[15] = char(row[15] + 1);
    QCOMPARE(m_device->writeRow(9, 3, bytes, 17), int32_t(OperatorServiceBytesChanged));
    QCOMPARE(readRow(*m_device, 9, 3, 18).left(14), QByteArray("Cashier 3     "));
}

void TestEmulatedRegister::refusedValues() {
    QFETCH(int, table);
    QFETCH(int, row);
    QFETCH(QByteArray, hex);
    QFETCH(int, expected);
    const QByteArray sent = QByteArray::fromHex(hex);
    const QByteArray before = allRows(*m_device);
    const auto result = m_device->writeRow(uint8_t(table), uint16_t(row), reinterpret_cast<const uint8_t*>(sent.data()),
                                           int32_t(sent.size() - 1));
    if (expected != Ok) {
        QCOMPARE(result, expected);
        QCOMPARE(allRows(*m_device), before);
        QVERIFY(!errorText(result).starts_with(toCp1251("Неизвестная")));
    } else {
        QCOMPARE(result, int32_t(sent.size()));
        QCOMPARE(readRow(*m_device, uint8_t(table), uint16_t(row), int(sent.size())), sent);
    }
}

void TestEmulatedRegister::unknownTables() {
    const QByteArray before = allRows(*m_device);
    uint8_t buffer[12] = {};
    for (uint8_t table : {0, 1, 10, 255}) {
        QCOMPARE(m_device->writeRow(table, 1, buffer, 11), NoSuchTable);
        QCOMPARE(m_device->readRow(table, 1, buffer, 11), NoSuchTable);
    }
    QCOMPARE(allRows(*m_device), before);
}

void TestEmulatedRegister::goodsTexts_data() {
    QTest::addColumn<QByteArrayList>("texts");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QByteArrayList>("readBack"); // for a refused write: the record as it was
    const QByteArrayList sample{"Bread", "4601234000017", "3", "45.90", "1", "1377.00", "0.00"};
    const auto with = [&](int field, const QByteArray& text) {
        auto texts = sample;
        texts[field] = text;
        return texts;
    };
    QTest::newRow("sample") << sample << int(Ok) << sample;
    QTest::newRow("empty grid row") << QByteArrayList{"", "", "", ".00", "0", "0.00", "0.00"} << int(Ok) << kEmptyGoods;
    QTest::newRow("price without point") << with(3, "12") << int(Ok) << with(3, "12.00");
    QTest::newRow("price ending in point") << with(3, "12.") << int(Ok) << with(3, "12.00");
    QTest::newRow("largest price") << with(3, "9999999.99") << int(Ok) << with(3, "9999999.99");
    QTest::newRow("cp1251 name of 24") << with(0, QByteArray(24, '\xC0')) << int(Ok) << with(0, QByteArray(24, '\xC0'));
    QTest::newRow("section 07") << with(2, "07") << int(Ok) << with(2, "7");
    QTest::newRow("name of 25") << with(0, QByteArray(25, 'x')) << int(GoodsNameTooLong) << QByteArrayList();
    QTest::newRow("barcode of 14") << with(1, "46012340000170") << int(BadBarcode) << QByteArrayList();
    QTest::newRow("barcode with letter") << with(1, "46012340000A") << int(BadBarcode) << QByteArrayList();
    QTest::newRow("section 17") << with(2, "17") << int(BadSection) << QByteArrayList();
    QTest::newRow("price 3 decimals") << with(3, "1.234") << int(BadPrice) << QByteArrayList();
    QTest::newRow("price 8 digits") << with(3, "12345678") << int(BadPrice) << QByteArrayList();
    QTest::newRow("price blank") << with(3, " 12.00") << int(BadPrice) << QByteArrayList();
    QTest::newRow("flag 2") << with(4, "2") << int(BadFractionalFlag) << QByteArrayList();
    QTest::newRow("sales 11 digits") << with(5, "12345678901") << int(BadSales) << QByteArrayList();
    QTest::newRow("returns negative") << with(6, "-0.50") << int(BadReturns) << QByteArrayList();
}

void TestEmulatedRegister::goodsTexts() {
    QFETCH(QByteArrayList, texts);
    QFETCH(int, expected);
    QFETCH(QByteArrayList, readBack);
    const auto before = readGoods(*m_device, 5);
    QCOMPARE(writeGoods(*m_device, 5, texts), expected);
    if (expected != Ok) {
        QCOMPARE(readGoods(*m_device, 5), before);
        return;
    }
    // The sales and returns counters are the register's own: a write leaves them as they were.
    QVERIFY(before[5] != "0.00");
    readBack[5] = before[5];
    readBack[6] = before[6];
    QCOMPARE(readGoods(*m_device, 5), readBack);
}

void TestEmulatedRegister::goodsNumbers() {
    const auto last = readGoods(*m_device, 9999);
    QCOMPARE(last, kEmptyGoods);
    QCOMPARE(writeGoods(*m_device, 0, {"a", "", "", "1", "0", "0", "0"}), GoodsNumberOutOfRange);
    QCOMPARE(writeGoods(*m_device, 10000, {"a", "", "", "1", "0", "0", "0"}), GoodsNumberOutOfRange);
    QCOMPARE(m_device->writeGoods(9999, {"a", "", "", "1", "0", "0", nullptr}), NullPointer);
    QCOMPARE(readGoods(*m_device, 10000), QByteArrayList());
    QCOMPARE(readGoods(*m_device, 9999), last);
}

void TestEmulatedRegister::logo_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QByteArray>("dots");
    const QByteArray unchanged("a5a500000000");
    QTest::newRow("row") << 1 << QByteArray("028040") << int(Ok) << QByteArray("a5a580400000");
    QTest::newRow("new header blanks") << 0 << QByteArray("0201") << int(Ok) << QByteArray("0000");
    QTest::newRow("kind 2") << 2 << QByteArray("0101") << int(UnknownLogoKind) << unchanged;
    QTest::newRow("header of 3 bytes") << 0 << QByteArray("010100") << int(BadLogoHeader) << unchanged;
    QTest::newRow("41 bytes per row") << 0 << QByteArray("2901") << int(BadLogoHeader) << unchanged;
    QTest::newRow("0 rows") << 0 << QByteArray("0100") << int(BadLogoHeader) << unchanged;
    QTest::newRow("row too short") << 1 << QByteArray("01FF") << int(LogoRowLengthMismatch) << unchanged;
    QTest::newRow("row too long") << 1 << QByteArray("01FFFFFF") << int(LogoRowLengthMismatch) << unchanged;
    QTest::newRow("row 0") << 1 << QByteArray("00FFFF") << int(LogoRowNumberOutOfRange) << unchanged;
    QTest::newRow("row 4 of 3") << 1 << QByteArray("04FFFF") << int(LogoRowNumberOutOfRange) << unchanged;
}

void TestEmulatedRegister::logo() {
    QFETCH(int, kind);
    QFETCH(QByteArray, record);
    QFETCH(int, expected);
    QFETCH(QByteArray, dots);
    QCOMPARE(writeLogo(*m_device, 1, "01FFFF"), LogoRowBeforeHeader);
    QCOMPARE(writeLogo(*m_device, 0, "0203"), Ok);
    QCOMPARE(writeLogo(*m_device, 1, "01A5A5"), Ok);
    QCOMPARE(writeLogo(*m_device, kind, record), expected);
    QCOMPARE(m_device->writeLogo(kind, nullptr, 1), NullPointer);
    QCOMPARE(m_device->close(), Ok);
    const auto saved = readStateFile(stateFileIn(*m_dir));
    QVERIFY(saved);
    QCOMPARE(bytes(saved->logo.dots().data(), int(saved->logo.dots().size())).toHex(), dots);
}

void TestEmulatedRegister::journal() {
    int32_t count = 0, value = 0;
    const uint8_t* reply = nullptr;
    QCOMPARE(m_device->journalCount(&count, &reply), 0);
    QCOMPARE(bytes(reply, 5), "\x01" + bytes(&count, 4));
    QByteArrayList records;
    for (int32_t n = 1; n <= count; ++n) {
        const int32_t r = m_device->journalRecord(n, &value, &reply);
        QCOMPARE(bytes(reply, 5), "\x02" + bytes(&n, 4));
        records += bytes(reply + 5, r);
    }
    QVERIFY(count > 2 && !records.contains(""));
    QCOMPARE(m_device->journalRecord(0, &value, &reply), NoSuchJournalRecord);
    QCOMPARE(m_device->journalRecord(count + 1, &value, &reply), NoSuchJournalRecord);

    // A new connection starts "next" at the first record; a record query moves the cursor.
    QCOMPARE(m_device->open("EMULATOR", 9600), Ok);
    QCOMPARE(bytes(reply + 5, m_device->nextJournalRecord(&value, &reply)), records.first());
    QVERIFY(m_device->journalRecord(count - 1, &value, &reply) > 0);
    QCOMPARE(bytes(reply + 5, m_device->nextJournalRecord(&value, &reply)), records.last());
    QCOMPARE(m_device->nextJournalRecord(&value, &reply), JournalEnd);
}

void TestEmulatedRegister::occupiedGoodsAndStock() {
    QCOMPARE(writeGoods(*m_device, 9999, {"", "", "", "0.00", "1", "0", "0"}), Ok);
    QList<int32_t> expected;
    for (uint16_t n = 1; n <= 9999; ++n)
        if (readGoods(*m_device, n) != kEmptyGoods)
            expected += n;
    int32_t value = 0;
    const uint8_t* reply = nullptr;
    for (int pass = 0; pass < 2; ++pass) { // after the last one the search starts over
        QList<int32_t> found;
        while (m_device->findOccupiedGoods(&value, &reply) >= 0 && bytes(reply + 1, 4) == bytes(&value, 4))
            found += value;
        QCOMPARE(found, expected);
    }
    QCOMPARE(m_device->goodsStock(expected.first(), &value, &reply), 5);
    QVERIFY(value > 0);
    QCOMPARE(bytes(reply + 5, 5).toHex().toInt(), value); // packed BCD
    QCOMPARE(m_device->goodsStock(9998, &value, &reply), 5);
    QCOMPARE(bytes(reply, 10).toHex(), QByteArray("05000000000000000000"));
    QCOMPARE(m_device->goodsStock(10000, &value, &reply), GoodsNumberOutOfRange);
}

void TestEmulatedRegister::stateSurvivesReopening() {
    const uint8_t row[3] = {0x12, 0x34, 2};
    for (uint16_t n = 1; n <= 9999; ++n)
        QCOMPARE(writeGoods(*m_device, n, {QByteArray::number(n), "", "2", "1.5", "0", "0", "0"}), Ok);
    QCOMPARE(m_device->writeRow(5, 2, row, 2), 3);
    QCOMPARE(writeLogo(*m_device, 0, "0101"), Ok);
    // Destruction without closing must save too: the program never closes the port at exit.
    m_device.reset();
    EmulatedRegister device(stateFileIn(*m_dir));
    QCOMPARE(device.open("EMULATOR", 9600), Ok);
    QCOMPARE(readRow(device, 5, 2, 3), bytes(row, 3));
    QCOMPARE(readGoods(device, 4321), (QByteArrayList{"4321", "", "2", "1.50", "0", "0.00", "0.00"}));
    QCOMPARE(writeLogo(device, 1, "01FF"), Ok);
    QCOMPARE(QDir(m_dir->path() + "/data").entryList(QDir::Files | QDir::Hidden),
             (QStringList{"register.state", "register.state.lock"}));
}

void TestEmulatedRegister::changesWithinTheIntervalWaitForClose() {
    const uint8_t first[3] = {0x01, 0x00, 1}, second[3] = {0x02, 0x00, 1};
    QCOMPARE(m_device->writeRow(5, 1, first, 2), 3);
    QCOMPARE(m_device->writeRow(5, 1, second, 2), 3);
    QCOMPARE(readStateFile(stateFileIn(*m_dir))->tables.row(5, 1)[0], uint8_t(0x01));
    QCOMPARE(m_device->close(), Ok);
    QCOMPARE(readStateFile(stateFileIn(*m_dir))->tables.row(5, 1)[0], uint8_t(0x02));
}

void TestEmulatedRegister::pendingChangeIsSavedWithinTheInterval() {
    const uint8_t first[3] = {0x01, 0x00, 1}, second[3] = {0x02, 0x00, 1};
    QCOMPARE(m_device->writeRow(5, 1, first, 2), 3);
    QCOMPARE(m_device->writeRow(5, 1, second, 2), 3);
    // No further call comes: the change must reach the disk on its own.
    constexpr int kBound = std::chrono::milliseconds(StateSaver::kInterval).count() + 5000;
    QTRY_COMPARE_WITH_TIMEOUT(savedRow51(stateFileIn(*m_dir)), uint8_t(0x02), kBound);
}

void TestEmulatedRegister::killedProgramKeepsItsLastChange_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGKILL") << SIGKILL;
    QTest::newRow("SIGTERM") << SIGTERM;
}

void TestEmulatedRegister::killedProgramKeepsItsLastChange() {
    QFETCH(int, signal);
    m_device.reset(); // the port is the program's
    QProcess program;
    program.start(WRITE_THEN_WAIT, {QString::fromStdString(stateFileIn(*m_dir).string())});
    QVERIFY(program.waitForStarted());
    while (!program.canReadLine())
        QVERIFY2(program.waitForReadyRead(30000), "the program did not write");
    QCOMPARE(program.readLine(), QByteArray("written\n"));
    // Past the interval, with a generous margin for a busy machine.
    QTest::qWait(int(std::chrono::milliseconds(StateSaver::kInterval).count()) + 2500);
    ::kill(pid_t(program.processId()), signal);
    QVERIFY(program.waitForFinished());
    QCOMPARE(program.exitStatus(), QProcess::CrashExit);
    QCOMPARE(savedRow51(stateFileIn(*m_dir)), uint8_t(0x02));
}

void TestEmulatedRegister::unsaveableStateStillWorksInMemory() {
    QTemporaryDir dir;
    std::ofstream(dir.path().toStdString() + "/data") << "a file where the folder should be";
    EmulatedRegister device(stateFileIn(dir));
    QCOMPARE(device.open("EMULATOR", 9600), Ok);
    const uint8_t row[3] = {0x07, 0x50, 2}, next[3] = {0x08, 0x50, 2};
    // The change is kept, but the program is told that it will not survive.
    QCOMPARE(device.writeRow(5, 2, row, 2), StateNotSaved);
    QCOMPARE(readRow(device, 5, 2, 3), bytes(row, 3));
    QCOMPARE(device.errorText(StateNotSaved), saveFailureText(ENOTDIR));
    QVERIFY(device.errorText(StateNotSaved).ends_with(toCp1251("файл, а не папка")));
    // Within the interval nothing is retried, and the change is still reported unsaved.
    QCOMPARE(device.writeRow(5, 2, next, 2), StateNotSaved);
    QCOMPARE(writeGoods(device, 1, {"A", "", "1", "1.00", "0", "0", "0"}), StateNotSaved);
    QCOMPARE(readRow(device, 5, 2, 3), bytes(next, 3));
    QCOMPARE(device.close(), StateNotSaved);
    QCOMPARE(device.errorText(PortNotOpen), errorText(PortNotOpen));
}

void TestEmulatedRegister::unwritableFolderIsReported() {
    if (::geteuid() == 0)
        QSKIP("permissions do not stop root; unsaveableStateStillWorksInMemory covers the failure");
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("data"));
    QVERIFY(::chmod(qPrintable(dir.path() + "/data"), 0500) == 0);
    EmulatedRegister device(stateFileIn(dir));
    QCOMPARE(device.open("EMULATOR", 9600), Ok);
    QCOMPARE(writeLogo(device, 0, "0101"), StateNotSaved);
    QCOMPARE(device.errorText(StateNotSaved), toCp1251("Не удалось сохранить состояние эмулятора ККМ: "
                                                       "нет прав на запись в папку состояния"));
    QVERIFY(::chmod(qPrintable(dir.path() + "/data"), 0700) == 0);
}

void TestEmulatedRegister::folderOfAnotherUserIsRefused() {
    // Root can give a folder away; anyone else finds one of root's.
    QTemporaryDir dir;
    std::filesystem::path file = "/emulated-register.state";
    if (::geteuid() == 0) {
        QVERIFY(QDir(dir.path()).mkdir("data"));
        QVERIFY(::chown(qPrintable(dir.path() + "/data"), 65534, 65534) == 0);
        file = stateFileIn(dir);
        QVERIFY(writeStateFile(std::filesystem::path(dir.path().toStdString()) / "planted", factoryState()));
        QVERIFY(std::filesystem::copy_file(file.parent_path().parent_path() / "planted", file));
    }
    EmulatedRegister device(file);
    QCOMPARE(device.open("EMULATOR", 9600), Ok);
    const uint8_t row[3] = {0x07, 0x50, 2};
    QCOMPARE(device.writeRow(5, 2, row, 2), StateNotSaved);
    QCOMPARE(readRow(device, 5, 2, 3), bytes(row, 3));
    QCOMPARE(device.errorText(StateNotSaved), toCp1251("Не удалось сохранить состояние эмулятора ККМ: "
                                                       "папка состояния принадлежит другому пользователю"));
    QCOMPARE(device.close(), StateNotSaved);
    if (::geteuid() == 0)
        QVERIFY(readStateFile(file) == factoryState());
}

void TestEmulatedRegister::staleTemporariesGoWhenTheRegisterLoads() {
    QTemporaryDir dir;
    const QString data = dir.path() + "/data/";
    QVERIFY(QDir(dir.path()).mkdir("data"));
    const QStringList kept{"notes.Ab12Cd", "register.state", "register.state.old", "register.state.Ab12C"};
    for (const QString& name : kept + QStringList{"register.state.Ab12Cd", "register.state.x9Y8z7"})
        std::ofstream((data + name).toStdString()) << "left behind";
    EmulatedRegister device(stateFileIn(dir));
    QCOMPARE(device.open("EMULATOR", 9600), Ok);
    QStringList expected = kept + QStringList{"register.state.lock"};
    expected.sort();
    QCOMPARE(QDir(data).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
}

QTEST_APPLESS_MAIN(TestEmulatedRegister)
#include "test_emulated_register.moc"
