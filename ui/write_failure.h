#pragma once

#include <QString>

class QFileDevice;

// Why writing `needed` bytes into `path` through `file` failed, in Russian:
// no room left on the disk, no permission to write in the folder, no such
// folder, or else the system's own text. Qt says "Unknown error" when a full
// disk makes the final flush fail.
QString writeFailureReason(const QString& path, const QFileDevice& file, qint64 needed);
