#include "library_choice.h"

#include "device_library.h"
#include "program_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString bridgeFile(const QString& executableFolder) {
    return QDir(executableFolder).filePath(QStringLiteral("bridge/libOrvel.so"));
}

} // namespace

LibraryChoice chooseDeviceLibrary(const QString& executableFolder, const QString& named) {
    if (named.endsWith(QStringLiteral(".dll"), Qt::CaseInsensitive))
        return {bridgeFile(executableFolder), QFileInfo(named).absoluteFilePath()};
    if (!named.isEmpty())
        return {named, {}};
    const QString dll =
        findProgramFile(executableFolder, QStringLiteral(KKM_LIBRARY_FOLDER), QStringLiteral("Orvel.dll"));
    if (!dll.isEmpty())
        return {bridgeFile(executableFolder), dll};
    return {DeviceLibrary::defaultFile(executableFolder), {}};
}

void announceWindowsLibrary(const LibraryChoice& choice) {
    if (!choice.windowsLibrary.isEmpty())
        qputenv(kWindowsLibraryVariable, QFile::encodeName(choice.windowsLibrary));
}
