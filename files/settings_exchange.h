#pragma once

#include "settings_layout.h"

#include <exception>
#include <QObject>

class ErrorReporter;
class FileDialogs;
class MessageBoxes;
class ProfileFile;
class QLabel;
class QProgressBar;
class QWidget;

// The bytes of an existing settings file; throws std::runtime_error saying why it cannot be one
// (a folder, a pipe, over 1 MB, unreadable).
QByteArray readSettingsFile(const QString& path);

// The window's controls the settings file works with.
struct SettingsControls {
    QWidget* pages = nullptr; // holds every control the file names
    QProgressBar* progress = nullptr;
    QLabel* message = nullptr;
    // The connected register's serial number, which names a new snapshot; optional.
    const QLabel* serialNumber = nullptr;
};

// A snapshot of every configuration page (goods and logo aside) in a settings
// file, and back. Neither direction touches the register.
class SettingsExchange : public QObject {
    Q_OBJECT

public:
    SettingsExchange(const SettingsControls& controls, ErrorReporter& errors, MessageBoxes& boxes, FileDialogs& dialogs,
                     QObject* parent = nullptr);

    void b_SaveSettingsClick();
    void b_LoadSettingsClick();
    // The load of a chosen file, with its messages.
    void loadFile(const QString& path);

    // Every key's value as the pages hold it, in the file's forms.
    SettingsLayout::Values pageValues() const;
    // Writes the pages into `file`: each key replaced where it stands or added
    // to its section; sections and keys of other programs stay.
    void save(ProfileFile& file);
    // Converts every value of `file` first and puts them on the pages only when
    // all convert; otherwise throws, naming the section and key, and nothing changes.
    void load(const ProfileFile& file);

signals:
    // The pages hold a settings file's values.
    void loaded();

private:
    void step();
    // The message line and the error box of a save or load that failed.
    void fail(const QString& message, const QString& location, const std::exception& error);

    SettingsControls m_controls;
    ErrorReporter& m_errors;
    MessageBoxes& m_boxes;
    FileDialogs& m_dialogs;
};
