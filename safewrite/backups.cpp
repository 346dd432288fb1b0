#include "backups.h"

#include "profile_file.h"
#include "write_failure.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <stdexcept>

namespace Backups {

namespace {

QString safeSerial(const QString& serial) {
    QString safe = serial.trimmed();
    safe.replace(QRegularExpression(QStringLiteral("[^0-9A-Za-z_.]")), QStringLiteral("_"));
    return safe.isEmpty() ? QStringLiteral("kkm") : safe;
}

} // namespace

QString goodsFile(const QString& copy) {
    return copy.chopped(4) + QStringLiteral(".csv");
}

QString folder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("backups"));
}

QString fileName(const QString& serial, const QDateTime& when) {
    return safeSerial(serial) + QLatin1Char('-') + when.toString(QStringLiteral("yyyyMMdd-HHmmss")) +
           QStringLiteral(".sav");
}

QString save(const QString& folder, const QString& serial, const SettingsLayout::Values& values, const QDateTime& when,
             const QByteArray& goodsCsv) {
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral(".")))
        throw std::runtime_error(
            QStringLiteral("Не удалось создать папку «%1»").arg(QDir::toNativeSeparators(folder)).toStdString());
    // Two copies within one second get a number, so that the first is not overwritten; "_" sorts
    // after ".", so the numbered copy still sorts as the newer.
    QString name = fileName(serial, when);
    for (int n = 2; dir.exists(name); ++n)
        name = fileName(serial, when).chopped(4) + QStringLiteral("_%1.sav").arg(n);
    ProfileFile file;
    SettingsLayout::write(file, values);
    const QString path = dir.filePath(name);
    const QString failure = saveWhole(path, file.bytes());
    if (!failure.isEmpty())
        throw std::runtime_error(failure.toStdString());
    if (!goodsCsv.isEmpty()) {
        const QString goodsFailure = saveWhole(goodsFile(path), goodsCsv);
        if (!goodsFailure.isEmpty())
            throw std::runtime_error(goodsFailure.toStdString());
    }
    // The stamp sorts the copies of one register by age; other files in the folder are left alone.
    const QRegularExpression copy(QRegularExpression::anchoredPattern(QRegularExpression::escape(safeSerial(serial)) +
                                                                      QStringLiteral("-\\d{8}-\\d{6}(_\\d+)?\\.sav")));
    const QStringList copies =
        dir.entryList({safeSerial(serial) + QStringLiteral("-*.sav")}, QDir::Files, QDir::Name).filter(copy);
    for (qsizetype i = 0; i + kept < copies.size(); ++i) {
        dir.remove(copies[i]);
        dir.remove(goodsFile(copies[i]));
    }
    return path;
}

namespace {

QString logoFile(const QString& folder, const QString& serial) {
    return QDir(folder).filePath(safeSerial(serial) + QStringLiteral("-logo.sha256"));
}

} // namespace

QString lastLogo(const QString& folder, const QString& serial) {
    QFile file(logoFile(folder, serial));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll().trimmed()) : QString();
}

void rememberLogo(const QString& folder, const QString& serial, const QString& digest) {
    if (!QDir().mkpath(folder))
        throw std::runtime_error(
            QStringLiteral("Не удалось создать папку «%1»").arg(QDir::toNativeSeparators(folder)).toStdString());
    const QString failure = saveWhole(logoFile(folder, serial), digest.toLatin1() + '\n');
    if (!failure.isEmpty())
        throw std::runtime_error(failure.toStdString());
}

} // namespace Backups
