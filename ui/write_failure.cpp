#include "write_failure.h"

#include <QDir>
#include <QFileDevice>
#include <QFileInfo>
#include <QStorageInfo>

QString writeFailureReason(const QString& path, const QFileDevice& file, qint64 needed) {
    const QFileInfo folder(QFileInfo(path).absolutePath());
    if (!folder.isDir())
        return QStringLiteral("папки «%1» нет").arg(QDir::toNativeSeparators(folder.filePath()));
    const qint64 available = QStorageInfo(folder.filePath()).bytesAvailable();
    if (available >= 0 && available < needed)
        return QStringLiteral("на диске нет места: нужно %1 байт, свободно %2").arg(needed).arg(available);
    if (!folder.isWritable())
        return QStringLiteral("нет прав на запись в папку «%1»").arg(QDir::toNativeSeparators(folder.filePath()));
    return file.errorString();
}
