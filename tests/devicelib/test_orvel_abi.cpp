// Drives the built libOrvel.so through its C entry points, loaded by name as the program loads it.
#include "orvel.h"

#include <dlfcn.h>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void* g_library = nullptr;

template <typename Function> Function bound(const char* name) {
    return reinterpret_cast<Function>(dlsym(g_library, name));
}

// Calls the library's function of the same name as the one orvel.h declares.
#define ORVEL(function) bound<decltype(&::function)>(#function)

constexpr uint8_t kKkm = 2, kPc = 1;

// Windows-1251 Cyrillic letters are 0xC0-0xFF, Ё and ё; UTF-8 would put 0x80-0xBF after each lead byte.
bool isCp1251Text(const QByteArray& text) {
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b >= 0x20 && (b < 0x80 || b >= 0xC0 || b == 0xA8 || b == 0xB8);
    });
}

} // namespace

class TestOrvelAbi : public QObject {
    Q_OBJECT

private slots:
    void callSequence();
};

void TestOrvelAbi::callSequence() {
    QTemporaryDir dataHome;
    // The library finds its state file when it is loaded, so the data folder is set first.
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    g_library = dlopen(ORVEL_LIBRARY_FILE, RTLD_NOW | RTLD_LOCAL);
    QVERIFY2(g_library, dlerror());
    for (const char* name : {"GetPortName", "SetPort", "ClosePort", "GetErrString", "GetDeviceType", "GetWorksNum",
                             "GetRowValue", "SetRowValue", "GetPLU", "SetPLU", "WriteLogo", "GetJRecordsCount",
                             "GetJRecord", "GetJRecordNext", "NEmptyFind", "GetGoodsRest"})
        QVERIFY2(dlsym(g_library, name), name);
    QVERIFY2(!dlsym(g_library, "_ZN5orvel9errorTextEi"), "the register's own code stays hidden");

    const char* port = nullptr;
    QVERIFY(ORVEL(GetPortName)(3, &port) != 0);
    QCOMPARE(ORVEL(GetPortName)(0, &port), 0);
    const QByteArray portName(port);
    const char* serial = nullptr;
    const int32_t notOpen = ORVEL(GetWorksNum)(kKkm, kPc, &serial);
    QVERIFY(notOpen < 0 && isCp1251Text(ORVEL(GetErrString)(notOpen)));
    QVERIFY(ORVEL(SetPort)("COM1", 9600) < 0);
    QVERIFY(ORVEL(SetPort)(portName.constData(), 9601) < 0);
    QCOMPARE(ORVEL(SetPort)(portName.constData(), 115200), 0);
    QCOMPARE(ORVEL(SetPort)(portName.constData(), 9600), 0); // again, as after a failed identification

    uint8_t b1 = 0, b2 = 0, b3 = 0, b4 = 0;
    const char* model = nullptr;
    QCOMPARE(ORVEL(GetDeviceType)(kKkm, kPc, &b1, &b2, &b3, &b4, &model), 0);
    QVERIFY((b1 & 0x0F) && (b3 >> 4) && b4 == 0x10 && isCp1251Text(model));
    QCOMPARE(ORVEL(GetWorksNum)(kKkm, kPc, &serial), 0);
    QVERIFY(isCp1251Text(serial));

    uint8_t row[18] = {}, readBack[12] = {};
    QCOMPARE(ORVEL(GetRowValue)(kKkm, kPc, 2, 1, row, 11), 12);
    row[7] = 7;
    QCOMPARE(ORVEL(SetRowValue)(kKkm, kPc, 2, 1, row, 11), 12);
    QCOMPARE(ORVEL(GetRowValue)(kKkm, kPc, 2, 1, readBack, 11), 12);
    QVERIFY(std::equal(row, row + 12, readBack));
    // The program repeats an operator row call unless its result is above 17.
    QVERIFY(ORVEL(GetRowValue)(kKkm, kPc, 9, 8, row, 17) > 17);

    const char* name = "\xD2\xE5\xF1\xF2";
    QCOMPARE(ORVEL(SetPLU)(kKkm, kPc, 9999, name, "123", "2", "5.5", "1", "0.00", "0.00"), 0);
    const char* t[7] = {};
    QCOMPARE(ORVEL(GetPLU)(kKkm, kPc, 9999, &t[0], &t[1], &t[2], &t[3], &t[4], &t[5], &t[6]), 0);
    QCOMPARE((QByteArrayList{t[0], t[1], t[2], t[3], t[4], t[5], t[6]}),
             (QByteArrayList{name, "123", "2", "5.50", "1", "0.00", "0.00"}));

    const uint8_t header[2] = {2, 2}, rows[3][3] = {{1, 0x80, 0x01}, {2, 0xFF, 0x00}, {3, 0x00, 0x00}};
    QCOMPARE(ORVEL(WriteLogo)(kKkm, kPc, 0, header, 1), 0);
    QCOMPARE(ORVEL(WriteLogo)(kKkm, kPc, 1, rows[0], 2), 0);
    QCOMPARE(ORVEL(WriteLogo)(kKkm, kPc, 1, rows[1], 2), 0);
    QVERIFY(ORVEL(WriteLogo)(kKkm, kPc, 1, rows[2], 2) < 0);

    int32_t count = -1, value = -1;
    const uint8_t* reply = nullptr;
    // A reply is read before the next call, which may replace it.
    const auto replyOf = [&](int32_t r) {
        return r >= 0 ? QByteArray(reinterpret_cast<const char*>(reply), r + 5) : QByteArray();
    };
    const QByteArrayList replies{replyOf(ORVEL(GetJRecordsCount)(kKkm, kPc, &count, &reply)),
                                 replyOf(ORVEL(GetJRecord)(kKkm, kPc, 1, &value, &reply)),
                                 replyOf(ORVEL(GetJRecordNext)(kKkm, kPc, &value, &reply)),
                                 replyOf(ORVEL(NEmptyFind)(kKkm, kPc, &value, &reply)),
                                 replyOf(ORVEL(GetGoodsRest)(kKkm, kPc, 9999, &value, &reply))};
    QVERIFY(count > 0 && !replies.contains(QByteArray()));

    for (int32_t code = -30; code <= 0; ++code)
        QVERIFY2(isCp1251Text(ORVEL(GetErrString)(code)), qPrintable(QString::number(code)));

    QCOMPARE(ORVEL(ClosePort)(), 0);
    QVERIFY(ORVEL(GetWorksNum)(kKkm, kPc, &serial) < 0);
    QVERIFY(QFileInfo(dataHome.path() + "/kkm-configurator/emulated-register.state").size() > 0);
    dlclose(g_library);
}

QTEST_APPLESS_MAIN(TestOrvelAbi)
#include "test_orvel_abi.moc"
