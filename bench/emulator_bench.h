#pragma once

#include "device_library.h"

#include <cstdio>
#include <cstdlib>
#include <QCoreApplication>
#include <QTemporaryDir>

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
