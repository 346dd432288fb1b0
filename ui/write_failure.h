#pragma once

#include <QByteArray>
#include <QString>

class QFileDevice;

// Why `file`, named `path`, could not be opened for reading, in Russian: no such file, a folder,
// no permission to read it, or else the reason for the file's error.
QString readFailureReason(const QString& path, const QFileDevice& file);

// Saves `bytes` as the whole new content of `path`: written beside it and put in its place only
// when every byte reached the disk, so a failure keeps the old file. Returns an empty text when
// saved, else in Russian which file failed and why: no room left on the disk, no permission, no
// such folder, or else the reason for the file's error.
QString saveWhole(const QString& path, const QByteArray& bytes);
