#include "connection_file.h"

#include "conversions.h"
#include "cp1251.h"
#include "file_dialogs.h"
#include "profile_file.h"
#include "program_files.h"
#include "whole_text.h"
#include "write_failure.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QStandardPaths>
#include <QUrl>
#include <stdexcept>

namespace {

const QByteArray section = "Connection";

// A stored position outside the list chooses nothing.
void choose(QComboBox* list, int position) {
    list->setCurrentIndex(position < list->count() ? position : -1);
}

ProfileFile readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? ProfileFile(file.readAll()) : ProfileFile();
}

} // namespace

QString connectionFilePath() {
    const QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() + QStringLiteral(".ini");
    const QString beside = QCoreApplication::applicationDirPath();
    // Run as root, an installed program would otherwise write into /usr/bin.
    if (!isInstalledProgram(beside) && QFileInfo(beside).isWritable())
        return QDir(beside).filePath(name);
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)).filePath(name);
}

void readConnectionFile(const QString& path, const ConnectionControls& controls) {
    const ProfileFile file = readFile(path);
    const auto value = [&](const char* key, const char* fallback) {
        return fromCp1251(file.value(section, key, fallback));
    };
    choose(controls.port, strToInt(value("KKMPort", "0")));
    choose(controls.speed, strToInt(value("KKMSpeed", "7")));
    // An address of 1000 goes out as its low byte, so it must reach the edit uncut.
    putWholeText(controls.pcAddr, value("PCAddr", "1"));
    putWholeText(controls.kkmAddr, value("KKMAddr", "2"));
    if (controls.safeWrite)
        controls.safeWrite->setChecked(value("SafeWrite", "0") == QLatin1String("1"));
    // Kept as a file URL, so that a folder name outside Windows-1251 survives the file.
    if (controls.dialogs)
        controls.dialogs->setLastFolder(QUrl::fromEncoded(file.value(section, "LastFolder")).toLocalFile());
}

void writeConnectionFile(const QString& path, const ConnectionControls& controls) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    ProfileFile file = readFile(path);
    file.write(section, "KKMPort", QByteArray::number(controls.port->currentIndex()));
    file.write(section, "KKMSpeed", QByteArray::number(controls.speed->currentIndex()));
    file.write(section, "PCAddr", toCp1251(controls.pcAddr->text()));
    file.write(section, "KKMAddr", toCp1251(controls.kkmAddr->text()));
    if (controls.safeWrite)
        file.write(section, "SafeWrite", controls.safeWrite->isChecked() ? "1" : "0");
    if (controls.dialogs && !controls.dialogs->lastFolder().isEmpty())
        file.write(section, "LastFolder", QUrl::fromLocalFile(controls.dialogs->lastFolder()).toEncoded());
    const QString failure = saveWhole(path, file.bytes());
    if (!failure.isEmpty())
        throw std::runtime_error(failure.toStdString());
}
