#include "program_files.h"

#include <QDir>
#include <QFileInfo>

QString findProgramFile(const QString& executableFolder, const QString& installedFolder, const QString& name) {
    const QDir executable(executableFolder);
    for (const QString& folder : {executable.filePath(installedFolder), executable.path()}) {
        const QString path = QDir::cleanPath(QDir(folder).filePath(name));
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

bool isInstalledProgram(const QString& executableFolder) {
    return QFileInfo(QDir(executableFolder).filePath(QStringLiteral(KKM_LIBRARY_FOLDER))).isDir();
}
