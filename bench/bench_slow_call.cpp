// The window on the "EMULATOR-FAULTS" port while one goods record takes a second to answer, as a
// register or bridge that hangs would: the longest time the event loop does not run during a
// read of three goods, the slow one among them.
#include "device_library.h"
#include "emulator_bench.h"
#include "fm_main.h"
#include "recording_file_dialogs.h"
#include "recording_message_boxes.h"
#include "transfer_driver.h"

#include <algorithm>
#include <cstdio>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

int main(int argc, char* argv[]) {
    QTemporaryDir data;
    useScratchState(data);
    // Identification takes two exchanges; the third is the first goods record.
    qputenv("ORVEL_FAULTS", "garble-every=0; lost-after=0; refuse-table=0; slow-call=3; slow-ms=1000");
    QApplication app(argc, argv);
    const DeviceLibrary library(emulatorLibraryFile());
    requireLoaded(library);
    RecordingMessageBoxes boxes;
    boxes.answer = QMessageBox::NoButton; // no automatic read
    RecordingFileDialogs dialogs;
    Tfm_Main window(library, boxes, dialogs, data.filePath(QStringLiteral("kkm.ini")));
    showOnPort(window, QStringLiteral("EMULATOR-FAULTS"));
    connectToGoodsPage(window);
    window.findChild<QLineEdit*>(QStringLiteral("ed_GoodsEND"))->setText(QStringLiteral("3"));
    QCoreApplication::processEvents();

    const auto [longestGap, readNs] = longestEventGap([&] { window.driver().sb_ReadTableFromKKMClick(); });
    if (window.findChild<QLabel*>(QStringLiteral("lb_Result"))->text() !=
        QStringLiteral("Чтение данных прошло успешно."))
        fail("the read of three goods failed");
    if (readNs < 1'000'000'000)
        fail("no record was slow");

    std::printf("slow_call_read_ms: %.0f ms\n", double(readNs) / 1e6);
    std::printf("slow_call_max_event_gap_ms: %.1f ms\n", double(longestGap) / 1e6);
    return 0;
}
