#include "write_failure.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

namespace {

// Qt's own texts are English.
QString errorText(QFileDevice::FileError error) {
    switch (error) {
    case QFileDevice::NoError:
        break;
    case QFileDevice::ReadError:
        return QStringLiteral("ошибка чтения");
    case QFileDevice::WriteError:
        return QStringLiteral("ошибка записи");
    case QFileDevice::FatalError:
        return QStringLiteral("неустранимая ошибка");
    case QFileDevice::ResourceError:
        return QStringLiteral("не хватает места на диске или ресурсов системы");
    case QFileDevice::OpenError:
        return QStringLiteral("файл не открывается");
    case QFileDevice::AbortError:
        return QStringLiteral("операция прервана");
    case QFileDevice::TimeOutError:
        return QStringLiteral("истекло время ожидания");
    case QFileDevice::UnspecifiedError:
        return QStringLiteral("неизвестная ошибка");
    case QFileDevice::RemoveError:
        return QStringLiteral("файл не удаляется");
    case QFileDevice::RenameError:
        return QStringLiteral("не удалось заменить старый файл новым");
    case QFileDevice::PositionError:
        return QStringLiteral("ошибка перехода по файлу");
    case QFileDevice::ResizeError:
        return QStringLiteral("размер файла не меняется");
    case QFileDevice::PermissionsError:
        return QStringLiteral("права доступа к файлу не меняются");
    case QFileDevice::CopyError:
        return QStringLiteral("файл не копируется");
    }
    return QStringLiteral("неизвестная ошибка");
}

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString writeFailureReason(const QString& path, const QFileDevice& file, qint64 needed) {
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir())
        return QStringLiteral("папки «%1» нет").arg(shown(folder.filePath()));
    if (target.isDir())
        return QStringLiteral("это папка");
    const qint64 available = QStorageInfo(folder.filePath()).bytesAvailable();
    if (available >= 0 && available < needed)
        return QStringLiteral("на диске нет места: нужно %1 байт, свободно %2").arg(needed).arg(available);
    if (target.exists() && !target.isWritable())
        return QStringLiteral("нет прав на запись в файл");
    if (!folder.isWritable())
        return QStringLiteral("нет прав на запись в папку «%1»").arg(shown(folder.filePath()));
    return errorText(file.error());
}

} // namespace

QString readFailureReason(const QString& path, const QFileDevice& file) {
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("файла нет");
    if (info.isDir())
        return QStringLiteral("это папка");
    if (!info.isReadable())
        return QStringLiteral("нет прав на чтение файла");
    return errorText(file.error());
}

QString saveWhole(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    // A writable file in a folder where no file can be made is written in place, as the editors
    // do: the temporary file has nowhere to go. The content is whole by now, but a failure midway
    // leaves the file cut.
    file.setDirectWriteFallback(true);
    // Qt's commit() does not check its final flush: on a full disk it would put an empty file in
    // place of the old one and report success.
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() &&
        file.error() == QFileDevice::NoError && file.commit())
        return {};
    return QStringLiteral("Не удалось записать файл «%1»: %2")
        .arg(shown(path), writeFailureReason(path, file, bytes.size()));
}
