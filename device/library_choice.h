#pragma once

#include <QString>

// The environment variable through which the program tells the bridge form of the device
// library (bridge/libOrvel.so) which Windows DLL to drive.
constexpr char kWindowsLibraryVariable[] = "KKM_ORVEL_DLL";

// Which device library file the program binds, and the Windows DLL behind it when it is the
// bridge form that runs a register maker's Orvel.dll under Wine.
struct LibraryChoice {
    QString library;
    QString windowsLibrary; // empty unless `library` is the bridge form

    bool operator==(const LibraryChoice&) const = default;
};

// `named`: the file given with --device-library, empty when none was. A .dll goes through the
// bridge form in the program's bridge/ folder; any other file is bound as it is. Without a name, an
// Orvel.dll in the program's library folder or beside it is taken (a technician copied the maker's
// file there), else our own library as DeviceLibrary::defaultFile finds it.
LibraryChoice chooseDeviceLibrary(const QString& executableFolder, const QString& named);

// Binding the bridge form starts nothing: the DLL is only named here for its first call.
void announceWindowsLibrary(const LibraryChoice& choice);
