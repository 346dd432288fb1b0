#pragma once

#include "compare_dialog.h"
#include "device_library.h"
#include "fm_main.h"
#include "safe_writer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <utility>

// What the benchmarks that drive the window on our emulated register share.

[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::exit(1);
}

// Runs offscreen, and the emulated register keeps its state in `data`, not in the user's folder.
// Call before the application object exists.
inline void useScratchState(const QTemporaryDir& data) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
}

// Our libOrvel.so, built beside the benchmark.
inline QString emulatorLibraryFile() {
    return DeviceLibrary::defaultFile(QCoreApplication::applicationDirPath());
}

inline void requireLoaded(const DeviceLibrary& library) {
    if (!library.isLoaded())
        fail("libOrvel.so is not beside the benchmark");
}

// Shows the window and chooses `port` in it, without connecting.
inline void showOnPort(Tfm_Main& window, const QString& port) {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        fail("the window was not shown");
    auto* ports = window.findChild<QComboBox*>(QStringLiteral("cb_KKMPort"));
    ports->setCurrentIndex(ports->findText(port));
    if (ports->currentIndex() < 0)
        fail("the emulated register does not offer the port");
}

// Connects the shown window on the port chosen in it and opens the goods page with all 9999 goods
// as its range.
inline void connectToGoodsPage(Tfm_Main& window) {
    window.findChild<QAbstractButton*>(QStringLiteral("sb_Connect"))->click();
    if (!window.link().connected)
        fail("could not connect to the register");
    window.findChild<QStackedWidget*>(QStringLiteral("PageControl"))
        ->setCurrentWidget(window.findChild<QWidget*>(QStringLiteral("ts_KKMGoods")));
    window.findChild<QLineEdit*>(QStringLiteral("ed_GoodsStart"))->setText(QStringLiteral("1"));
    window.findChild<QLineEdit*>(QStringLiteral("ed_GoodsEND"))->setText(QStringLiteral("9999"));
    QCoreApplication::processEvents();
}

// The longest time the event loop did not run while `work` ran, in nanoseconds: a timer of no
// interval runs each time the loop does. Also the work's own time.
template <typename Work> std::pair<qint64, qint64> longestEventGap(Work&& work) {
    QElapsedTimer clock;
    qint64 lastRun = 0;
    qint64 longestGap = 0;
    QTimer loopRuns;
    loopRuns.setInterval(0);
    QObject::connect(&loopRuns, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longestGap = std::max(longestGap, now - lastRun);
        lastRun = now;
    });
    clock.start();
    loopRuns.start();
    work();
    const qint64 workNs = clock.nsecsElapsed();
    loopRuns.stop();
    return {std::max(longestGap, workNs - lastRun), workNs};
}

// Compares each configuration page of the connected window with the register through «Сравнить с
// ККМ», the dialog answered «Закрыть»; the milliseconds it took.
inline double compareAllPages(Tfm_Main& window) {
    window.safeWriter().showDialog = [](CompareDialog&) { return false; };
    auto* pages = window.findChild<QStackedWidget*>(QStringLiteral("PageControl"));
    auto* compare = window.findChild<QAbstractButton*>(QStringLiteral("sb_Compare"));
    const auto* result = window.findChild<QLabel*>(QStringLiteral("lb_Result"));
    QElapsedTimer timer;
    timer.start();
    for (const char* page : {"ts_KKMOptions", "ts_KKMPrintOpt", "ts_KKMReklama", "ts_KKMdiscount", "ts_KKMDevices",
                             "ts_KKMOperators", "ts_KKMSections", "ts_KKMNalog"}) {
        pages->setCurrentWidget(window.findChild<QWidget*>(QLatin1String(page)));
        window.MainformActionUpdate();
        compare->click();
        if (result->text().startsWith(QStringLiteral("ОШИБКА")) || result->text().startsWith(QStringLiteral("Идет")))
            fail("a comparison failed");
    }
    return double(timer.nsecsElapsed()) / 1e6;
}
