// The bridge to a Windows device library: our emulated register built as Orvel.dll (the first
// argument, else bin/windows64/Orvel.dll), reached through bridge/libOrvel.so and orvel-bridge
// under Wine. The start of the bridge, a GetRowValue round trip (median of 10,000), and the 9999
// goods through the window's transfer driver.
#include "cp1251.h"
#include "device_library.h"
#include "emulator_bench.h"
#include "fm_main.h"
#include "goods_model.h"
#include "goods_page.h"
#include "library_choice.h"
#include "recording_file_dialogs.h"
#include "recording_message_boxes.h"
#include "transfer_driver.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char* argv[]) {
    QTemporaryDir data;
    useScratchState(data);
    QApplication app(argc, argv);
    const QString dll = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                 : QDir(QCoreApplication::applicationDirPath()).filePath("windows64/Orvel.dll");
    const LibraryChoice choice = chooseDeviceLibrary(QCoreApplication::applicationDirPath(), dll);
    announceWindowsLibrary(choice);
    const DeviceLibrary library(choice.library);
    if (!library.isLoaded())
        fail("bridge/libOrvel.so is not beside the benchmark");
    const DeviceTable& api = library.table();

    const auto startAt = Clock::now();
    const char* port = nullptr;
    if (api.GetPortName(0, &port) != 0)
        fail(qPrintable(fromDeviceText(api.GetErrString(-5))));
    const double startMs = msSince(startAt);
    if (api.SetPort(port, 115200) < 0)
        fail("the emulated register's port did not open");

    constexpr int kCalls = 10000;
    std::vector<double> callsUs;
    callsUs.reserve(kCalls);
    uint8_t row[12] = {};
    for (int i = 0; i < kCalls; ++i) {
        const auto at = Clock::now();
        if (api.GetRowValue(2, 1, 2, 1, row, 11) < 0)
            fail("GetRowValue failed through the bridge");
        callsUs.push_back(msSince(at) * 1000.0);
    }
    std::nth_element(callsUs.begin(), callsUs.begin() + kCalls / 2, callsUs.end());

    RecordingMessageBoxes boxes;
    boxes.answer = QMessageBox::NoButton;
    RecordingFileDialogs dialogs;
    Tfm_Main window(library, boxes, dialogs, data.filePath(QStringLiteral("kkm.ini")));
    window.show();
    QCoreApplication::processEvents();
    connectToGoodsPage(window);
    GoodsModel& goods = window.goodsPage().model();
    for (int record = 1; record <= GoodsModel::recordCount; ++record)
        goods.setRecord(record,
                        {QStringLiteral("Товар длинное имя %1").arg(record, 5, 10, QLatin1Char('0')),
                         QString::number(4600000000000LL + record), QString::number(record % 17),
                         QStringLiteral("%1.99").arg(1000000 + record), QStringLiteral("ДА"), QStringLiteral("0.00"),
                         QStringLiteral("0.00")},
                        true);
    auto* result = window.findChild<QLabel*>(QStringLiteral("lb_Result"));
    const auto writeAt = Clock::now();
    window.driver().sb_WriteTableToKKMClick();
    const double writeMs = msSince(writeAt);
    if (result->text() != QStringLiteral("Запись данных прошла успешно."))
        fail("the goods write failed");
    const auto readAt = Clock::now();
    window.driver().sb_ReadTableFromKKMClick();
    const double readMs = msSince(readAt);
    if (result->text() != QStringLiteral("Чтение данных прошло успешно."))
        fail("the goods read failed");

    std::printf("bridge_start_ms: %.0f ms\n", startMs);
    std::printf("bridge_call_us: %.1f us\n", callsUs[kCalls / 2]);
    std::printf("goods_read_9999_ms: %.1f ms\n", readMs);
    std::printf("goods_write_9999_ms: %.1f ms\n", writeMs);
    return 0;
}
