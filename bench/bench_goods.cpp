// Goods transfers and the goods CSV exchange at full size: 9999 records read
// from and written to our emulated register through the window's own
// transfer driver (window shown, events processed per record), the CSV export
// and import of 9999 full rows, and the memory the full grid takes. The
// exchange log records every call, and a last read runs with its window open;
// what recording costs a call, and handing it to the library's own thread, is
// measured on the library's goods read alone.
#include "device_library.h"
#include "emulator_bench.h"
#include "exchange_recorder.h"
#include "fm_main.h"
#include "goods_csv_exchange.h"
#include "goods_model.h"
#include "goods_page.h"
#include "recording_file_dialogs.h"
#include "recording_message_boxes.h"
#include "transfer_driver.h"

#include <cstdio>
#include <QAbstractButton>
#include <QApplication>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

namespace {

double residentMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

template <typename Work> double timeMs(Work&& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

// The fastest of several rounds of `work`: the machine is shared, and the slower rounds measure it.
template <typename Work> double fastestMs(Work&& work) {
    double fastest = timeMs(work);
    for (int round = 1; round < 7; ++round)
        fastest = std::min(fastest, timeMs(work));
    return fastest;
}

template <typename Device> void readAllGoods(Device& device) {
    for (int record = 1; record <= GoodsModel::recordCount; ++record) {
        const char* t[7] = {};
        device.GetPLU(2, 1, uint16_t(record), &t[0], &t[1], &t[2], &t[3], &t[4], &t[5], &t[6]);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QTemporaryDir data;
    useScratchState(data);
    QApplication app(argc, argv);
    const DeviceLibrary library(emulatorLibraryFile());
    requireLoaded(library);
    RecordingMessageBoxes boxes;
    boxes.answer = QMessageBox::NoButton;
    RecordingFileDialogs dialogs;
    Tfm_Main window(library, boxes, dialogs, data.filePath(QStringLiteral("kkm.ini")));
    window.show();
    QCoreApplication::processEvents();
    connectToGoodsPage(window);
    auto* result = window.findChild<QLabel*>(QStringLiteral("lb_Result"));

    GoodsModel& goods = window.goodsPage().model();
    const double before = residentMb();
    for (int record = 1; record <= GoodsModel::recordCount; ++record) {
        goods.setRecord(record,
                        {QStringLiteral("Товар длинное имя %1").arg(record, 5, 10, QLatin1Char('0')),
                         QString::number(4600000000000LL + record), QString::number(record % 17),
                         QStringLiteral("%1.99").arg(1000000 + record), QStringLiteral("ДА"), QStringLiteral("0.00"),
                         QStringLiteral("0.00")},
                        true);
    }
    const double gridMb = residentMb() - before;

    const double writeMs = timeMs([&] { window.driver().sb_WriteTableToKKMClick(); });
    if (result->text() != QStringLiteral("Запись данных прошла успешно."))
        fail("the goods write failed");
    const double readMs = timeMs([&] { window.driver().sb_ReadTableFromKKMClick(); });
    if (result->text() != QStringLiteral("Чтение данных прошло успешно."))
        fail("the goods read failed");

    // The same calls without the window: what the library itself costs.
    const DeviceTable& api = library.table();
    const double libraryReadMs = timeMs([&] {
        for (int record = 1; record <= GoodsModel::recordCount; ++record) {
            const char* t[7] = {};
            api.GetPLU(2, 1, uint16_t(record), &t[0], &t[1], &t[2], &t[3], &t[4], &t[5], &t[6]);
        }
    });
    const double libraryWriteMs = timeMs([&] {
        for (int record = 1; record <= GoodsModel::recordCount; ++record)
            api.SetPLU(2, 1, uint16_t(record), "x", "1", "1", "1.00", "0", "0.00", "0.00");
    });

    // The exchange log's window open over the same read.
    window.findChild<QAbstractButton*>(QStringLiteral("sb_ExchangeLog"))->click();
    auto* logWindow = window.findChild<QDockWidget*>(QStringLiteral("dw_ExchangeLog"));
    if (!QTest::qWaitForWindowExposed(logWindow))
        fail("the exchange log was not shown");
    const double readWithLogMs = timeMs([&] { window.driver().sb_ReadTableFromKKMClick(); });
    if (result->text() != QStringLiteral("Чтение данных прошло успешно."))
        fail("the goods read with the exchange log open failed");

    DeviceTable direct = api;
    ExchangeRecorder recorded(api);
    ExchangeRecorder threaded(api, ExchangeLog::kCapacity, library.thread());
    const double directMs = fastestMs([&] { readAllGoods(direct); });
    const double recordedMs = fastestMs([&] { readAllGoods(recorded); });
    const double threadedMs = fastestMs([&] { readAllGoods(threaded); });

    dialogs.answer = data.filePath(QStringLiteral("goods.csv"));
    const double exportMs = timeMs([&] { window.csvExchange().sb_SaveToCSVClick(); });
    if (result->text() != QStringLiteral("Экспорт данных завершен!"))
        fail("the export failed");
    const double importMs = timeMs([&] { window.csvExchange().sb_LoadFromCSVClick(); });
    if (result->text() != QStringLiteral("Импорт данных завершен!"))
        fail("the import failed");

    const double records = GoodsModel::recordCount;
    std::printf("goods_read_9999_ms: %.1f ms\n", readMs);
    std::printf("goods_read_9999_log_open_ms: %.1f ms\n", readWithLogMs);
    std::printf("exchange_log_us_per_call: %.2f us\n", (recordedMs - directMs) * 1000.0 / records);
    std::printf("device_thread_us_per_call: %.2f us\n", (threadedMs - recordedMs) * 1000.0 / records);
    std::printf("goods_write_9999_ms: %.1f ms\n", writeMs);
    std::printf("goods_read_app_overhead_us: %.1f us\n", (readMs - libraryReadMs) * 1000.0 / records);
    std::printf("goods_write_app_overhead_us: %.1f us\n", (writeMs - libraryWriteMs) * 1000.0 / records);
    std::printf("csv_export_9999_ms: %.1f ms\n", exportMs);
    std::printf("csv_import_9999_ms: %.1f ms\n", importMs);
    std::printf("goods_grid_rss_mb: %.1f MB\n", gridMb);
    return 0;
}
