#include "connection_file.h"

#include "conversions.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QSettings>
#include <QStandardPaths>
#include <stdexcept>

namespace {

const QString section = QStringLiteral("Connection/");

// A stored position outside the list chooses nothing.
void choose(QComboBox* list, int position) {
    list->setCurrentIndex(position < list->count() ? position : -1);
}

} // namespace

QString connectionFilePath() {
    const QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() + QStringLiteral(".ini");
    const QString beside = QCoreApplication::applicationDirPath();
    if (QFileInfo(beside).isWritable())
        return QDir(beside).filePath(name);
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)).filePath(name);
}

void readConnectionFile(const QString& path, const ConnectionControls& controls) {
    const QSettings file(path, QSettings::IniFormat);
    const auto value = [&](const char* key, const char* fallback) {
        return file.value(section + QLatin1String(key), QString::fromLatin1(fallback)).toString();
    };
    choose(controls.port, strToInt(value("KKMPort", "0")));
    choose(controls.speed, strToInt(value("KKMSpeed", "7")));
    controls.pcAddr->setText(value("PCAddr", "1"));
    controls.kkmAddr->setText(value("KKMAddr", "2"));
}

void writeConnectionFile(const QString& path, const ConnectionControls& controls) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSettings file(path, QSettings::IniFormat);
    file.setValue(section + QStringLiteral("KKMPort"), QString::number(controls.port->currentIndex()));
    file.setValue(section + QStringLiteral("KKMSpeed"), QString::number(controls.speed->currentIndex()));
    file.setValue(section + QStringLiteral("PCAddr"), controls.pcAddr->text());
    file.setValue(section + QStringLiteral("KKMAddr"), controls.kkmAddr->text());
    file.sync();
    if (file.status() != QSettings::NoError)
        throw std::runtime_error(QStringLiteral("Unable to write to %1").arg(path).toStdString());
}
