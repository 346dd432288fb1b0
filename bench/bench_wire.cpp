// The window on the "EMULATOR-WIRE" port at 115200 baud, where a goods record takes as long as on
// a real cable: the time a record takes against the line's model, the longest time the event
// loop does not run during a read of 1000 goods, and how soon "Прервать" ends a read of all
// 9999 goods. The read lets events in once per record, so the gap is about one record's time.
#include "device_library.h"
#include "emulator_bench.h"
#include "fm_main.h"
#include "recording_file_dialogs.h"
#include "recording_message_boxes.h"
#include "transfer_driver.h"

#include <algorithm>
#include <cstdio>
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

constexpr int kGapRecords = 1000;
constexpr int kClickAfterMs = 2000;
// The line's model for a goods record: 106 bytes of 11 bits at 115200 baud.
constexpr double kModelRecordMs = 106 * 11 * 1000.0 / 115200;

} // namespace

int main(int argc, char* argv[]) {
    QTemporaryDir data;
    useScratchState(data);
    QApplication app(argc, argv);
    const DeviceLibrary library(emulatorLibraryFile());
    requireLoaded(library);
    RecordingMessageBoxes boxes;
    boxes.answer = QMessageBox::NoButton; // no automatic read
    RecordingFileDialogs dialogs;
    Tfm_Main window(library, boxes, dialogs, data.filePath(QStringLiteral("kkm.ini")));
    showOnPort(window, QStringLiteral("EMULATOR-WIRE"));
    auto* speed = window.findChild<QComboBox*>(QStringLiteral("cb_KKMPortSpeed"));
    speed->setCurrentIndex(speed->findText(QStringLiteral("115200")));
    if (speed->currentIndex() < 0)
        fail("no speed 115200");
    connectToGoodsPage(window);
    auto* first = window.findChild<QLineEdit*>(QStringLiteral("ed_GoodsStart"));
    auto* last = window.findChild<QLineEdit*>(QStringLiteral("ed_GoodsEND"));
    auto* result = window.findChild<QLabel*>(QStringLiteral("lb_Result"));
    QCoreApplication::processEvents();

    first->setText(QStringLiteral("1"));
    last->setText(QString::number(kGapRecords));
    const auto [longestGap, readNs] = longestEventGap([&] { window.driver().sb_ReadTableFromKKMClick(); });
    if (result->text() != QStringLiteral("Чтение данных прошло успешно."))
        fail("the read of 1000 goods failed");

    // The click comes while a record is on the wire; the loop sees it when it next runs.
    last->setText(QStringLiteral("9999"));
    auto* stop = window.findChild<QAbstractButton*>(QStringLiteral("sb_StopReading"));
    QTimer click;
    click.setSingleShot(true);
    click.setTimerType(Qt::PreciseTimer);
    QObject::connect(&click, &QTimer::timeout, stop, &QAbstractButton::click);
    QElapsedTimer transfer;
    transfer.start();
    click.start(kClickAfterMs);
    window.driver().sb_ReadTableFromKKMClick();
    const double stopLatencyMs = double(transfer.nsecsElapsed()) / 1e6 - kClickAfterMs;
    if (transfer.elapsed() > 3 * kClickAfterMs)
        fail("the stop button did not end the read");

    std::printf("wire_goods_record_ms: %.2f ms\n", double(readNs) / 1e6 / kGapRecords);
    std::printf("wire_goods_record_model_ms: %.2f ms\n", kModelRecordMs);
    std::printf("ui_max_event_gap_ms: %.1f ms\n", double(longestGap) / 1e6);
    std::printf("stop_latency_ms: %.1f ms\n", stopLatencyMs);
    std::printf("wire_compare_all_pages_ms: %.0f ms\n", compareAllPages(window));
    return 0;
}
