#include "factory_state.h"
#include "state_file.h"
#include "state_saver.h"

#include <cerrno>
#include <fstream>
#include <pwd.h>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

using namespace orvel;

namespace {

RegisterState sampleState() {
    RegisterState state = factoryState();
    state.tables.row(9, 8)[17] = 0xFF;
    state.goods[9998] = GoodsRecord{std::string(24, '\xFF'),  "9999999999999",         16, GoodsRecord::kMaxPrice, true,
                                    GoodsRecord::kMaxCounter, GoodsRecord::kMaxCounter};
    std::vector<uint8_t> dots(40 * 255);
    for (std::size_t i = 0; i < dots.size(); ++i)
        dots[i] = static_cast<uint8_t>(i * 7);
    state.logo = *Logo::restore(40, 255, dots);
    return state;
}

QByteArray bytesOf(const RegisterState& state) {
    const auto bytes = serializeState(state);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

std::filesystem::path pathIn(const QTemporaryDir& dir, const char* name) {
    return std::filesystem::path(dir.path().toStdString()) / name;
}

} // namespace

class TestStateFile : public QObject {
    Q_OBJECT

private slots:
    void roundTrip();
    void damaged_data();
    void damaged();
    void atomicWrite();
    void failedWriteLeavesNoTemporaryFile();
    void defaultLocation_data();
    void defaultLocation();
    void staleTemporaries();
    void failureReasons();
    void factoryStateFitsTheRowLayouts();
};

void TestStateFile::roundTrip() {
    QTemporaryDir dir;
    for (const auto& state : {sampleState(), RegisterState{}}) {
        QVERIFY(writeStateFile(pathIn(dir, "state"), state));
        QVERIFY(readStateFile(pathIn(dir, "state")) == state);
    }
}

void TestStateFile::damaged_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray valid = bytesOf(sampleState());
    auto changed = [&](int at, char value) { return QByteArray(valid).replace(at, 1, &value, 1); };
    RegisterState invalidGoods = sampleState();
    invalidGoods.goods[0].section = 17;
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("head only") << valid.left(20);
    QTest::newRow("one byte short") << valid.chopped(1);
    QTest::newRow("one byte more") << valid + '\0';
    QTest::newRow("other magic") << changed(0, 'X');
    QTest::newRow("other version") << changed(8, 2);
    QTest::newRow("length changed") << changed(12, char(valid[12] + 1));
    QTest::newRow("checksum changed") << changed(16, char(valid[16] ^ 1));
    QTest::newRow("payload byte changed") << changed(valid.size() / 2, char(valid[valid.size() / 2] ^ 0x10));
    QTest::newRow("invalid goods, intact checksum") << bytesOf(invalidGoods);
}

void TestStateFile::damaged() {
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    std::ofstream(pathIn(dir, "state"), std::ios::binary).write(bytes.data(), bytes.size());
    QVERIFY(!readStateFile(pathIn(dir, "state")));
    QVERIFY(StateSaver(pathIn(dir, "state")).load() == factoryState());
}

void TestStateFile::atomicWrite() {
    QTemporaryDir dir;
    const auto file = pathIn(dir, "a/b/register.state");
    QVERIFY(StateSaver(file).load() == factoryState());
    QVERIFY(writeStateFile(file, factoryState()));
    QVERIFY(writeStateFile(file, sampleState()));
    QVERIFY(readStateFile(file) == sampleState());
    QCOMPARE(QDir(dir.path() + "/a/b").entryList(QDir::Files | QDir::Hidden), QStringList{"register.state"});
}

void TestStateFile::failedWriteLeavesNoTemporaryFile() {
    QTemporaryDir dir;
    std::ofstream(pathIn(dir, "file")) << "not a folder";
    QVERIFY(!writeStateFile(pathIn(dir, "file/register.state"), factoryState()));
    // Renaming over a folder fails after the temporary file was written.
    std::filesystem::create_directory(pathIn(dir, "register.state"));
    QVERIFY(!writeStateFile(pathIn(dir, "register.state"), factoryState()));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             (QStringList{"file", "register.state"}));
}

void TestStateFile::defaultLocation_data() {
    QTest::addColumn<QByteArray>("dataHome");
    QTest::addColumn<QByteArray>("home");
    QTest::addColumn<QString>("expected");
    const QString ownHome = QString::fromLocal8Bit(::getpwuid(::getuid())->pw_dir);
    QTest::newRow("data home") << QByteArray("/data") << QByteArray("/home/u")
                               << "/data/kkm-configurator/emulated-register.state";
    QTest::newRow("no data home") << QByteArray() << QByteArray("/home/u")
                                  << "/home/u/.local/share/kkm-configurator/emulated-register.state";
    QTest::newRow("relative data home") << QByteArray("data") << QByteArray("/home/u")
                                        << "/home/u/.local/share/kkm-configurator/emulated-register.state";
    QTest::newRow("no home") << QByteArray() << QByteArray()
                             << ownHome + "/.local/share/kkm-configurator/emulated-register.state";
    QTest::newRow("empty home") << QByteArray() << QByteArray("")
                                << ownHome + "/.local/share/kkm-configurator/emulated-register.state";
    QTest::newRow("no home, data home") << QByteArray("/data") << QByteArray()
                                        << "/data/kkm-configurator/emulated-register.state";
}

void TestStateFile::defaultLocation() {
    QFETCH(QByteArray, dataHome);
    QFETCH(QByteArray, home);
    QFETCH(QString, expected);
    dataHome.isNull() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", dataHome);
    home.isNull() ? qunsetenv("HOME") : qputenv("HOME", home);
    QCOMPARE(QString::fromStdString(defaultStateFile().string()), expected);
}

void TestStateFile::staleTemporaries() {
    QTemporaryDir dir;
    const QStringList kept{"other.state.AAAAAA", "state", "state.AAAAA", "state.AAAAAAA", "state.AA-AAA"};
    for (const QString& name : kept + QStringList{"state.AAAAAA", "state.z0Z9a8"})
        std::ofstream(pathIn(dir, qPrintable(name))) << "left behind";
    QVERIFY(QDir(dir.path()).mkdir("state.Folder"));
    removeStaleTemporaries(pathIn(dir, "state"));
    QStringList expected = kept + QStringList{"state.Folder"};
    expected.sort();
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name), expected);
    removeStaleTemporaries(pathIn(dir, "missing/state"));
}

void TestStateFile::failureReasons() {
    QTemporaryDir dir;
    std::ofstream(pathIn(dir, "file")) << "not a folder";
    int failure = 0;
    QVERIFY(!writeStateFile(pathIn(dir, "file/register.state"), factoryState(), &failure));
    QCOMPARE(failure, ENOTDIR);
    QVERIFY(!writeStateFile({}, factoryState(), &failure));
    QCOMPARE(failure, int(NoStateFolder));
    QVERIFY(writeStateFile(pathIn(dir, "register.state"), factoryState(), &failure));
    QCOMPARE(failure, 0);
    QCOMPARE(checkStateFolder(pathIn(dir, "missing/register.state")), 0);
    QCOMPARE(checkStateFolder(pathIn(dir, "register.state")), 0);
    if (::geteuid() != 0)
        QCOMPARE(checkStateFolder("/register.state"), int(FolderOfAnotherUser));
    QVERIFY(StateSaver({}).load() == factoryState());
}

void TestStateFile::factoryStateFitsTheRowLayouts() {
    enum { Text = -1, Bcd = -2 }; // otherwise the largest value allowed
    const struct {
        uint8_t table;
        uint16_t rows;
        int first, last, kind;
    } rules[] = {{2, 1, 0, 6, 1},      {2, 1, 7, 7, 7},    {2, 1, 8, 8, 31},    {2, 1, 9, 11, Bcd},
                 {3, 1, 0, 0, 4},      {3, 1, 1, 9, 1},    {4, 6, 0, 23, Text}, {4, 6, 24, 24, 3},
                 {5, 2, 0, 1, Bcd},    {5, 2, 2, 2, 2},    {6, 4, 0, 4, Text},  {6, 4, 5, 6, Bcd},
                 {7, 16, 0, 10, Text}, {7, 16, 11, 11, 4}, {7, 16, 12, 12, 9},  {7, 16, 13, 13, 1},
                 {8, 4, 0, 1, 1},      {8, 4, 2, 2, 8},    {9, 8, 0, 13, Text}, {9, 8, 14, 16, Bcd},
                 {9, 8, 17, 17, 31}};
    const RegisterState state = factoryState();
    for (const auto& rule : rules)
        for (uint16_t row = 1; row <= rule.rows; ++row)
            for (int i = rule.first; i <= rule.last; ++i) {
                const uint8_t b = state.tables.row(rule.table, row)[i];
                const bool ok = rule.kind == Text  ? (b >= 0x20 && b < 0x7F) || b >= 0xC0 || b == 0xA8 || b == 0xB8
                                : rule.kind == Bcd ? (b & 0x0F) <= 9 && (b >> 4) <= 9
                                                   : b <= rule.kind;
                QVERIFY2(ok, qPrintable(QString("table %1 row %2 byte %3").arg(rule.table).arg(row).arg(i)));
            }
    QVERIFY(state.tables.row(3, 1)[0] >= 1);
    QVERIFY(std::all_of(state.goods.begin(), state.goods.end(),
                        [](const GoodsRecord& g) { return g.isValid() && g.name.find('?') == std::string::npos; }));
}

QTEST_APPLESS_MAIN(TestStateFile)
#include "test_state_file.moc"
