#pragma once

#include "device_table.h"
#include "device_thread.h"

#include <memory>
#include <QLibrary>
#include <QString>
#include <QStringList>

// The device library the program talks through, bound by function name at
// start. When the file or a function is missing the table still works: every
// call then fails with a negative result whose text says the library is absent,
// so the window opens and everything that needs no register keeps working. A library bound from a
// file gets a thread of its own for its calls; one of functions already bound is called directly.
class DeviceLibrary {
public:
    // Result of every call while no library is bound.
    static constexpr int32_t NotLoaded = -1000;

    // Binds from `file`; a bare file name is looked up on the system's library path.
    explicit DeviceLibrary(const QString& file);
    // Uses functions that are already bound (a fake register in tests).
    explicit DeviceLibrary(const DeviceTable& table);
    DeviceLibrary(const DeviceLibrary&) = delete;
    DeviceLibrary& operator=(const DeviceLibrary&) = delete;

    // The library in the installed program's library folder, else next to the executable, else the bare name.
    static QString defaultFile(const QString& executableFolder);

    const DeviceTable& table() const { return m_table; }
    DeviceThread* thread() const { return m_thread.get(); }
    bool isLoaded() const { return m_error.isEmpty(); }
    // Why the library could not be bound, naming the file and what is missing.
    QString errorText() const { return m_error; }

private:
    void bindUnavailable();

    // Never unloaded: texts the library handed out may be in use until the process ends.
    std::unique_ptr<QLibrary> m_library;
    DeviceTable m_table;
    QString m_error;
    std::unique_ptr<DeviceThread> m_thread;
};
