// The program through the bridge form of the device library, orvel-bridge under Wine and our
// emulated register built as a Windows Orvel.dll (the DLL named by KKM_TEST_DLL). An emulated
// register in this process, on its own state, is the reference for what the DLL must answer.
#include "cp1251.h"
#include "device_library.h"
#include "emulated_register.h"
#include "fm_main.h"
#include "goods_csv_exchange.h"
#include "goods_model.h"
#include "goods_page.h"
#include "library_choice.h"
#include "logo.h"
#include "logo_page.h"
#include "recording_file_dialogs.h"
#include "recording_message_boxes.h"
#include "state_file.h"
#include "transfer_driver.h"

#include <csignal>
#include <memory>
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>
#include <vector>

namespace {

// The orvel-bridge process this test started, 0 when none runs.
pid_t bridgePid() {
    const QString parent = QString::number(::getpid());
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        QFile command(QStringLiteral("/proc/%1/cmdline").arg(entry));
        if (!stat.open(QIODevice::ReadOnly) || !command.open(QIODevice::ReadOnly))
            continue;
        // pid (name) state ppid ...: the name may hold blanks, so the fields count from its end.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.value(1) == parent.toLatin1() && command.readAll().contains("orvel-bridge"))
            return entry.toInt();
    }
    return 0;
}

// Calls of the bound library seen on their way: the logo records sent, and a kill of the bridge
// at a chosen goods read.
struct Tap {
    static inline DeviceTable through;
    static inline std::vector<std::vector<uint8_t>> logoRecords[2];
    static inline int goodsReadsBeforeKill = -1;

    static int32_t ORVEL_CALL WriteLogo(uint8_t kkm, uint8_t pc, int32_t kind, const uint8_t* buf, int32_t lastIndex) {
        logoRecords[kind == 0 ? 0 : 1].emplace_back(buf, buf + lastIndex + 1);
        return through.WriteLogo(kkm, pc, kind, buf, lastIndex);
    }

    static int32_t ORVEL_CALL GetPLU(uint8_t kkm, uint8_t pc, uint16_t number, const char** t0, const char** t1,
                                     const char** t2, const char** t3, const char** t4, const char** t5,
                                     const char** t6) {
        if (goodsReadsBeforeKill >= 0 && goodsReadsBeforeKill-- == 0) {
            const pid_t bridge = bridgePid();
            if (bridge > 0) // 0 would mean the whole process group
                ::kill(bridge, SIGKILL);
        }
        return through.GetPLU(kkm, pc, number, t0, t1, t2, t3, t4, t5, t6);
    }

    static DeviceTable over(const DeviceTable& table) {
        through = table;
        DeviceTable tapped = table;
        tapped.WriteLogo = WriteLogo;
        tapped.GetPLU = GetPLU;
        return tapped;
    }
};

QString goodsName(int record) {
    // Every letter of the alphabet across the records, and the signs Windows-1251 has beyond it.
    static const QString letters = QStringLiteral("абвгдеёжзийклмнопрстуфхцчшщъыьэюяАБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ");
    return QStringLiteral("%1 №%2 «Ёлка» €").arg(letters.mid(record % letters.size(), 8)).arg(record);
}

} // namespace

class TestBridgeEndToEnd : public QObject {
    Q_OBJECT

    QTemporaryDir m_data;
    std::unique_ptr<DeviceLibrary> m_library;
    std::unique_ptr<orvel::EmulatedRegister> m_reference;

    std::unique_ptr<Tfm_Main> connectedWindow(RecordingMessageBoxes& boxes, RecordingFileDialogs& dialogs,
                                              const DeviceLibrary& library) {
        auto window = std::make_unique<Tfm_Main>(library, boxes, dialogs, m_data.filePath("kkm.ini"));
        window->findChild<QComboBox*>("cb_KKMPort")->setCurrentText("EMULATOR");
        window->findChild<QAbstractButton*>("sb_Connect")->click();
        return window;
    }

    static void showPage(Tfm_Main& window, const char* page) {
        window.findChild<QStackedWidget*>("PageControl")->setCurrentWidget(window.findChild<QWidget*>(page));
    }

    static QString result(Tfm_Main& window) { return window.findChild<QLabel*>("lb_Result")->text(); }

private slots:
    void initTestCase() {
        const QString dll = qEnvironmentVariable("KKM_TEST_DLL");
        QVERIFY2(QFile::exists(dll), "KKM_TEST_DLL names no Windows build of our emulated register");
        qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit()); // the reference register's state
        qputenv("KKM_BRIDGE_CALL_LIMIT_MS", "5000");
        const LibraryChoice choice = chooseDeviceLibrary(QCoreApplication::applicationDirPath(), dll);
        QVERIFY(choice.library.endsWith("bridge/libOrvel.so"));
        announceWindowsLibrary(choice);
        m_library = std::make_unique<DeviceLibrary>(choice.library);
        QVERIFY2(m_library->isLoaded(), qPrintable(m_library->errorText()));
        m_reference = std::make_unique<orvel::EmulatedRegister>(orvel::defaultStateFile());
        QVERIFY(m_reference->open("EMULATOR", 9600) >= 0);
    }

    void connectsAndIdentifiesTheRegister() {
        RecordingMessageBoxes boxes;
        RecordingFileDialogs dialogs;
        const auto window = connectedWindow(boxes, dialogs, *m_library);
        QVERIFY(window->link().connected);
        QCOMPARE(result(*window), QStringLiteral("Чтение данных прошло успешно."));
        QCOMPARE(boxes.shown.size(), 1); // the information box only

        uint8_t b[4] = {};
        const char* model = nullptr;
        const char* serial = nullptr;
        QVERIFY(m_reference->deviceType(&b[0], &b[1], &b[2], &b[3], &model) >= 0);
        QVERIFY(m_reference->serialNumber(&serial) >= 0);
        QCOMPARE(window->findChild<QLabel*>("lb_KKMModel")->text(), fromDeviceText(model).trimmed());
        QCOMPARE(window->findChild<QLabel*>("lb_KKMSerialNumber")->text(), fromDeviceText(serial));

        uint8_t through[4] = {};
        const char* modelThrough = nullptr;
        QVERIFY(m_library->table().GetDeviceType(2, 1, &through[0], &through[1], &through[2], &through[3],
                                                 &modelThrough) >= 0);
        QCOMPARE(QByteArray(reinterpret_cast<char*>(through), 4), QByteArray(reinterpret_cast<char*>(b), 4));
        QCOMPARE(QByteArray(modelThrough), QByteArray(model));
    }

    void writesAndReadsTheOptionsPage() {
        RecordingMessageBoxes boxes;
        RecordingFileDialogs dialogs;
        const auto window = connectedWindow(boxes, dialogs, *m_library);
        auto* codeSell = window->findChild<QCheckBox*>("cb_CodeSell");
        const bool wasTicked = codeSell->isChecked();
        showPage(*window, "ts_KKMOptions");
        codeSell->setChecked(!wasTicked);
        window->driver().sb_WriteTableToKKMClick();
        QCOMPARE(result(*window), QStringLiteral("Запись данных прошла успешно."));

        codeSell->setChecked(wasTicked);
        boxes.answer = QMessageBox::Yes; // the read replaces the edit
        window->driver().sb_ReadTableFromKKMClick();
        QCOMPARE(result(*window), QStringLiteral("Чтение данных прошло успешно."));
        QCOMPARE(codeSell->isChecked(), !wasTicked);

        uint8_t row[12] = {};
        QCOMPARE(m_library->table().GetRowValue(2, 1, 2, 1, row, 11), 12);
        QCOMPARE(row[0] != 0, !wasTicked);
        // A refused row: the register's own text comes back through the bridge.
        QVERIFY(m_library->table().GetRowValue(2, 1, 99, 1, row, 11) < 0);
        const int32_t refused = m_library->table().GetRowValue(2, 1, 99, 1, row, 11);
        QCOMPARE(QByteArray(m_library->table().GetErrString(refused)),
                 QByteArray::fromStdString(m_reference->errorText(m_reference->readRow(99, 1, row, 11))));
    }

    void hundredGoodsKeepTheirWindows1251Texts() {
        RecordingMessageBoxes boxes;
        boxes.answer = QMessageBox::NoButton; // no automatic read
        RecordingFileDialogs dialogs;
        const auto window = connectedWindow(boxes, dialogs, *m_library);
        showPage(*window, "ts_KKMGoods");
        window->findChild<QLineEdit*>("ed_GoodsStart")->setText("101");
        window->findChild<QLineEdit*>("ed_GoodsEND")->setText("200");
        GoodsModel& goods = window->goodsPage().model();
        for (int record = 101; record <= 200; ++record)
            goods.setRecord(record,
                            {goodsName(record), QString::number(4600000000000LL + record), QString::number(record % 17),
                             QStringLiteral("%1.25").arg(record), record % 2 ? "ДА" : "НЕТ", "0.00", "0.00"},
                            record % 2 == 1);
        window->driver().sb_WriteTableToKKMClick();
        QCOMPARE(result(*window), QStringLiteral("Запись данных прошла успешно."));

        for (int record = 101; record <= 200; ++record) {
            const char* t[7] = {};
            QVERIFY(m_library->table().GetPLU(2, 1, uint16_t(record), &t[0], &t[1], &t[2], &t[3], &t[4], &t[5],
                                              &t[6]) >= 0);
            QCOMPARE(QByteArray(t[0]), toCp1251(goodsName(record)));
            QCOMPARE(QByteArray(t[1]), QByteArray::number(4600000000000LL + record));
        }

        for (int record = 101; record <= 200; ++record)
            goods.setRecord(record, {}, false);
        boxes.answer = QMessageBox::Yes; // the read replaces the emptied records
        window->driver().sb_ReadTableFromKKMClick();
        QCOMPARE(result(*window), QStringLiteral("Чтение данных прошло успешно."));
        for (int record = 101; record <= 200; ++record) {
            QCOMPARE(goods.cell(record, GoodsModel::NameColumn), goodsName(record));
            QCOMPARE(goods.cell(record, GoodsModel::PriceColumn), QStringLiteral("%1.25").arg(record));
            QCOMPARE(goods.fractional(record), record % 2 == 1);
        }
    }

    void logoRecordsArriveByteForByte() {
        const DeviceLibrary tapped(Tap::over(m_library->table()));
        RecordingMessageBoxes boxes;
        boxes.answer = QMessageBox::NoButton;
        RecordingFileDialogs dialogs;
        const auto window = connectedWindow(boxes, dialogs, tapped);
        showPage(*window, "ts_KKMLogo");
        QImage picture(100, 40, QImage::Format_RGB32);
        picture.fill(Qt::white);
        for (int x = 0; x < 100; ++x)
            picture.setPixel(x, (x * 7) % 40, qRgb(0, 0, 0));
        dialogs.answer = m_data.filePath("logo.bmp");
        QVERIFY(picture.save(dialogs.answer, "BMP"));
        window->csvExchange().sb_LoadFromCSVClick();
        boxes.answer = QMessageBox::Yes; // the register's logo may be replaced
        window->driver().sb_WriteTableToKKMClick();
        QCOMPARE(result(*window), QStringLiteral("Запись данных прошла успешно."));
        QCOMPARE(Tap::logoRecords[0].size(), std::size_t(1));
        QVERIFY(!Tap::logoRecords[1].empty());

        // What the records make of a logo, against what the DLL saved once its port closed.
        orvel::Logo expected;
        QCOMPARE(expected.writeHeader(Tap::logoRecords[0][0].data(), int32_t(Tap::logoRecords[0][0].size() - 1)), 0);
        for (const auto& row : Tap::logoRecords[1])
            QCOMPARE(expected.writeRow(row.data(), int32_t(row.size() - 1)), 0);
        QVERIFY(m_library->table().ClosePort() >= 0);
        const QString user = qEnvironmentVariable("USER", QStringLiteral("root"));
        const QString stateFile = qEnvironmentVariable("WINEPREFIX", QDir::homePath() + "/.wine") +
                                  QStringLiteral("/drive_c/users/%1/AppData/Roaming/kkm-configurator/"
                                                 "emulated-register.state")
                                      .arg(user);
        const auto saved = orvel::readStateFile(stateFile.toStdString());
        QVERIFY2(saved.has_value(), qPrintable(stateFile));
        QVERIFY(saved->logo == expected);
    }

    void journalRepliesCarryTheirArrays() {
        QVERIFY(m_library->table().SetPort("EMULATOR", 9600) >= 0);
        int32_t count = -1;
        int32_t expectedCount = -1;
        const uint8_t* reply = nullptr;
        const uint8_t* expectedReply = nullptr;
        const int32_t r = m_library->table().GetJRecordsCount(2, 1, &count, &reply);
        QCOMPARE(r, m_reference->journalCount(&expectedCount, &expectedReply));
        QVERIFY(r >= 0);
        QCOMPARE(count, expectedCount);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(reply), r + 5),
                 QByteArray(reinterpret_cast<const char*>(expectedReply), r + 5));

        int32_t value = -1;
        int32_t expectedValue = -1;
        const int32_t record = m_library->table().GetJRecord(2, 1, 1, &value, &reply);
        QCOMPARE(record, m_reference->journalRecord(1, &expectedValue, &expectedReply));
        QCOMPARE(value, expectedValue);
        if (record >= 0)
            QCOMPARE(QByteArray(reinterpret_cast<const char*>(reply), record + 5),
                     QByteArray(reinterpret_cast<const char*>(expectedReply), record + 5));
    }

    void aKilledBridgeLosesTheConnectionAndReconnects() {
        const DeviceLibrary tapped(Tap::over(m_library->table()));
        RecordingMessageBoxes boxes;
        boxes.answer = QMessageBox::NoButton;
        RecordingFileDialogs dialogs;
        const auto window = connectedWindow(boxes, dialogs, tapped);
        QVERIFY(window->link().connected);
        QVERIFY(bridgePid() > 0);
        showPage(*window, "ts_KKMGoods");
        window->findChild<QLineEdit*>("ed_GoodsStart")->setText("1");
        window->findChild<QLineEdit*>("ed_GoodsEND")->setText("300");
        Tap::goodsReadsBeforeKill = 40;
        window->driver().sb_ReadTableFromKKMClick();
        Tap::goodsReadsBeforeKill = -1;

        const QString lost =
            QStringLiteral("ОШИБКА: Программа-мост к библиотеке %1 завершилась (сигнал 9); "
                           "связь с ККМ потеряна (прочитано 40 из 300). Проверьте кабель и питание ККМ.")
                .arg(qEnvironmentVariable("KKM_TEST_DLL"));
        QCOMPARE(result(*window), lost);
        QCOMPARE(boxes.texts().last(), lost);
        QVERIFY(!window->link().connected);
        QCOMPARE(window->findChild<QStackedWidget*>("PageControl")->currentWidget()->objectName(),
                 QStringLiteral("ts_main"));
        QCOMPARE(window->link().lastResult, -5);

        // Connecting again starts a new bridge.
        window->findChild<QAbstractButton*>("sb_Connect")->click();
        QVERIFY(window->link().connected);
        QVERIFY(bridgePid() > 0);
    }

    void aHungBridgeIsStoppedAndExplained() {
        QVERIFY(m_library->table().SetPort("EMULATOR", 9600) >= 0);
        const pid_t bridge = bridgePid();
        QVERIFY(bridge > 0);
        QCOMPARE(::kill(bridge, SIGSTOP), 0);
        uint8_t row[12] = {};
        QCOMPARE(m_library->table().GetRowValue(2, 1, 2, 1, row, 11), -5);
        QCOMPARE(fromDeviceText(m_library->table().GetErrString(-5)),
                 QStringLiteral("Библиотека %1 не ответила за 5 с; программа-мост остановлена, связь с ККМ потеряна.")
                     .arg(qEnvironmentVariable("KKM_TEST_DLL")));
        QCOMPARE(bridgePid(), 0);
        QVERIFY(m_library->table().SetPort("EMULATOR", 9600) >= 0);
        QCOMPARE(m_library->table().GetRowValue(2, 1, 2, 1, row, 11), 12);
    }
};

QTEST_MAIN(TestBridgeEndToEnd)
#include "test_bridge_end_to_end.moc"
