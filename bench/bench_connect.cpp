// Connecting to our emulated register: the connect button opens the port,
// identifies the register, has its information box answered Ok and reads every
// configuration page through the window's transfer driver, window shown and
// events processed per row. Median of 9 connects after one that loads the
// register's state; the register keeps that state in a temporary folder.
// Then the settings file of the filled window, saved and loaded through its buttons, and the safe
// writes' reads: every page compared, a backup of the whole configuration, and the read-back that
// checks every page after a write.
#include "backups.h"
#include "config_diff.h"
#include "device_library.h"
#include "emulator_bench.h"
#include "fm_main.h"
#include "recording_file_dialogs.h"
#include "recording_message_boxes.h"
#include "register_fields.h"
#include "register_reader.h"

#include <algorithm>
#include <cstdio>
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <vector>

namespace {

constexpr int runs = 9;

double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    QTemporaryDir data;
    useScratchState(data);
    QApplication app(argc, argv);
    const DeviceLibrary library(emulatorLibraryFile());
    requireLoaded(library);
    RecordingMessageBoxes boxes;
    RecordingFileDialogs dialogs;
    Tfm_Main window(library, boxes, dialogs, data.filePath(QStringLiteral("kkm.ini")));
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        fail("the window was not shown");
    // Built before the first connect, so that no run includes building the pages.
    window.driver();
    QCoreApplication::processEvents();

    auto* port = window.findChild<QComboBox*>(QStringLiteral("cb_KKMPort"));
    const int emulator = port->findText(QStringLiteral("EMULATOR"));
    if (emulator < 0)
        fail("libOrvel.so lists no EMULATOR port");
    port->setCurrentIndex(emulator);
    window.findChild<QComboBox*>(QStringLiteral("cb_KKMPortSpeed"))->setCurrentIndex(7);
    auto* connectButton = window.findChild<QAbstractButton*>(QStringLiteral("sb_Connect"));
    const auto* result = window.findChild<QLabel*>(QStringLiteral("lb_Result"));

    const auto connectOnce = [&] {
        boxes.shown.clear();
        QElapsedTimer timer;
        timer.start();
        connectButton->click();
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        // Only the information box, answered Ok, and a read that reached its end.
        if (!window.link().connected || boxes.shown.size() != 1 || boxes.shown[0].icon != QMessageBox::Information ||
            result->text() != QStringLiteral("Чтение данных прошло успешно."))
            fail("the connect and automatic read did not succeed");
        return ms;
    };

    connectOnce();
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
        times.push_back(connectOnce());
    std::printf("connect_autoread_ms: %.1f ms\n", median(times));

    // The settings file of the window the reads filled: saved into a new file each time, then loaded.
    const auto timed = [&](const char* button, const QString& path) {
        dialogs.answer = path;
        QElapsedTimer timer;
        timer.start();
        window.findChild<QAbstractButton*>(QLatin1String(button))->click();
        return double(timer.nsecsElapsed()) / 1e6;
    };
    window.MainformActionUpdate();
    std::vector<double> saves, loads;
    for (int i = 0; i < runs; ++i)
        saves.push_back(timed("b_SaveSettings", data.filePath(QStringLiteral("settings%1.sav").arg(i))));
    for (int i = 0; i < runs; ++i)
        loads.push_back(timed("b_LoadSettings", data.filePath(QStringLiteral("settings%1.sav").arg(i))));
    if (result->text() != QStringLiteral("Загрузка завершена!"))
        fail("the settings file did not load");
    std::printf("settings_save_ms: %.2f ms\n", median(saves));
    std::printf("settings_load_ms: %.2f ms\n", median(loads));

    std::vector<double> compares, backups, verifies;
    for (int i = 0; i < runs; ++i)
        compares.push_back(compareAllPages(window));
    const auto& fields = RegisterFields::fields();
    const QList<const RegisterFields::Field*> all = RegisterFields::fieldsOf(
        {"KKMOptions", "KKMPrintOpt", "KKMReklama", "KKMDiscounts", "KKMDevice", "KKMOperators", "KKMSections",
         "KKMTaxes"});
    if (all.size() != fields.size())
        fail("the pages do not hold every field");
    const auto rows = RegisterFields::rowsOf(all);
    SettingsLayout::Values held;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        held = ConfigDiff::registerValues(all, readRegisterRows(window.link(), rows));
        Backups::save(data.filePath(QStringLiteral("backups")), QStringLiteral("bench"), held,
                      QDateTime::currentDateTime().addSecs(i));
        backups.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        const auto after = ConfigDiff::registerValues(all, readRegisterRows(window.link(), rows));
        if (!ConfigDiff::verify(all, held, held, after).mismatches.isEmpty())
            fail("the register changed between the reads");
        verifies.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("compare_all_pages_ms: %.2f ms\n", median(compares));
    std::printf("backup_ms: %.2f ms\n", median(backups));
    std::printf("verify_all_pages_ms: %.2f ms\n", median(verifies));
    return 0;
}
