#include "settings_exchange.h"

#include "conversions.h"
#include "cp1251.h"
#include "error_reporter.h"
#include "file_dialogs.h"
#include "filtered_edit_delegate.h"
#include "message_boxes.h"
#include "profile_file.h"
#include "register_grid.h"
#include "settings_layout.h"
#include "whole_text.h"
#include "write_failure.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <stdexcept>

namespace {

using SettingsLayout::Form;
using SettingsLayout::Key;

const QString filter = QStringLiteral("SAV Files (*.sav)");
constexpr int progressSteps = 8;

// A snapshot is named after the register and the day it was taken; without a register, after the
// program.
QString proposedName(const QLabel* serialNumber) {
    const QString serial = serialNumber ? serialNumber->text().trimmed() : QString();
    if (serial.isEmpty() || serial == QLatin1String("---"))
        return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() + QStringLiteral(".sav");
    return serial + QLatin1Char('-') + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) +
           QStringLiteral(".sav");
}

// A snapshot takes a few kilobytes: a file far bigger is none, and reading it would hold the window.
constexpr qint64 maxFileSize = 1024 * 1024;

} // namespace

// Anything but a regular file is refused before it is opened: the open of a named pipe waits for a
// writer forever.
QByteArray readSettingsFile(const QString& path) {
    const QFileInfo info(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (info.isDir())
        throw std::runtime_error(QStringLiteral("«%1» — это папка, а не файл настроек").arg(shown).toStdString());
    if (!info.isFile())
        throw std::runtime_error(
            QStringLiteral("«%1» — не обычный файл (канал, сокет или устройство), а не файл настроек")
                .arg(shown)
                .toStdString());
    const auto tooBig = [&](qint64 size) {
        return std::runtime_error(QStringLiteral("Файл «%1» занимает %2 байт: это не файл настроек, который занимает "
                                                 "несколько килобайт (допустимо не более 1 МБ)")
                                      .arg(shown)
                                      .arg(size)
                                      .toStdString());
    };
    if (info.size() > maxFileSize)
        throw tooBig(info.size());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(
            QStringLiteral("Не удалось открыть файл «%1»: %2").arg(shown, readFailureReason(path, file)).toStdString());
    // The file may have grown since it was measured.
    const QByteArray bytes = file.read(maxFileSize + 1);
    if (bytes.size() > maxFileSize)
        throw tooBig(file.size());
    return bytes;
}

namespace {

template <typename T> T* control(const QWidget* pages, const Key& key) {
    auto* found = pages->findChild<T*>(key.control);
    if (!found)
        throw std::logic_error("no control " + key.control.toStdString());
    return found;
}

QString savedValue(const QWidget* pages, const Key& key) {
    if (key.row > 0)
        return control<RegisterGrid>(pages, key)->cell(key.column, key.row);
    switch (key.form) {
    case Form::Flag:
        return control<QCheckBox>(pages, key)->isChecked() ? QStringLiteral("-1") : QStringLiteral("0");
    case Form::Item:
        return QString::number(control<QComboBox>(pages, key)->currentIndex());
    case Form::Date:
        return QLocale().toString(control<QDateEdit>(pages, key)->date(), QLocale::ShortFormat);
    case Form::Text:
        break;
    }
    return control<QLineEdit>(pages, key)->text();
}

// Puts a value that SettingsLayout::read has checked.
void put(QWidget* pages, const Key& key, const QString& value) {
    if (key.row > 0) {
        control<RegisterGrid>(pages, key)->setCell(key.column, key.row, value);
        return;
    }
    switch (key.form) {
    case Form::Flag:
        control<QCheckBox>(pages, key)->setChecked(strToBool(value));
        break;
    case Form::Item: {
        QComboBox* list = control<QComboBox>(pages, key);
        const int item = strToInt(value);
        list->setCurrentIndex(item >= 0 && item < list->count() ? item : -1);
        break;
    }
    case Form::Date:
        control<QDateEdit>(pages, key)->setDate(strToDate(value));
        break;
    case Form::Text:
        putWholeText(control<QLineEdit>(pages, key), value);
        break;
    }
}

} // namespace

SettingsExchange::SettingsExchange(const SettingsControls& controls, ErrorReporter& errors, MessageBoxes& boxes,
                                   FileDialogs& dialogs, QObject* parent)
    : QObject(parent)
    , m_controls(controls)
    , m_errors(errors)
    , m_boxes(boxes)
    , m_dialogs(dialogs) {}

void SettingsExchange::step() {
    m_controls.progress->setValue(m_controls.progress->value() + 1);
}

SettingsLayout::Values SettingsExchange::pageValues() const {
    SettingsLayout::Values values;
    for (const auto& section : SettingsLayout::sections()) {
        for (const Key& key : section.keys)
            values.insert(SettingsLayout::valueId(section.name, key.name), savedValue(m_controls.pages, key));
    }
    return values;
}

void SettingsExchange::save(ProfileFile& file) {
    const SettingsLayout::Values values = pageValues();
    SettingsLayout::write(file, values, [&](const SettingsLayout::Section& section) {
        step();
        m_controls.message->setText(section.savingText);
    });
}

void SettingsExchange::load(const ProfileFile& file) {
    const SettingsLayout::Values values = SettingsLayout::read(file);
    const auto& sections = SettingsLayout::sections();
    for (const auto& section : sections) {
        m_controls.message->setText(section.loadingText);
        for (const Key& key : section.keys)
            put(m_controls.pages, key, values.value(SettingsLayout::valueId(section.name, key.name)));
        if (&section != &sections.last())
            step();
    }
}

void SettingsExchange::b_SaveSettingsClick() {
    try {
        FilteredEditDelegate::commitOpenEditors(m_controls.pages);
        // No question for an existing file: the save merges into it, keeping what it does not write.
        const QString path =
            m_dialogs.save(proposedName(m_controls.serialNumber), filter, QStringLiteral("sav"), false);
        if (path.isEmpty())
            return;
        m_controls.progress->setMaximum(progressSteps);
        m_controls.progress->setValue(0);
        ProfileFile file;
        if (QFileInfo::exists(path))
            file = ProfileFile(readSettingsFile(path));
        save(file);
        const QString failure = saveWhole(path, file.bytes());
        if (!failure.isEmpty())
            throw std::runtime_error(failure.toStdString());
        m_controls.progress->setValue(0);
        m_controls.message->setText(QStringLiteral("Сохранение завершено."));
        m_boxes.plain(QStringLiteral("Сохранение завершено!"));
    } catch (const std::exception& e) {
        fail(QStringLiteral("Ошибка сохранения."), QStringLiteral("Tfm_Main.b_SaveSettingsClick"), e);
    }
}

void SettingsExchange::b_LoadSettingsClick() {
    m_controls.progress->setValue(0);
    const QString path = m_dialogs.open(filter, QStringLiteral("sav"));
    if (!path.isEmpty())
        loadFile(path);
}

void SettingsExchange::loadFile(const QString& path) {
    try {
        m_controls.progress->setValue(0);
        m_controls.progress->setMaximum(progressSteps);
        if (!QFileInfo::exists(path)) {
            m_boxes.error(QStringLiteral("Файла не существует"));
            return;
        }
        const ProfileFile file(readSettingsFile(path));
        step();
        load(file);
        m_controls.progress->setValue(0);
        m_controls.message->setText(QStringLiteral("Загрузка завершена!"));
        emit loaded();
        m_boxes.plain(QStringLiteral("Загрузка завершена"));
    } catch (const std::exception& e) {
        fail(QStringLiteral("Ошибка загрузки."), QStringLiteral("Tfm_Main.b_LoadSettingsClick"), e);
    }
}

void SettingsExchange::fail(const QString& message, const QString& location, const std::exception& error) {
    m_controls.progress->setValue(0);
    m_controls.message->setText(message);
    m_errors.ShowError(location, QString::fromUtf8(error.what()));
}
