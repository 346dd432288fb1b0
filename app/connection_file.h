#pragma once

#include <QString>

class FileDialogs;
class QCheckBox;
class QComboBox;
class QLineEdit;

// The controls whose state the connection file carries between runs.
struct ConnectionControls {
    QComboBox* port = nullptr;
    QComboBox* speed = nullptr;
    QLineEdit* pcAddr = nullptr;
    QLineEdit* kkmAddr = nullptr;
    QCheckBox* safeWrite = nullptr; // optional: the checked-writes mode, a key of our own
    FileDialogs* dialogs = nullptr; // optional: the folder the file dialogs start in, a key of our own
};

// The connection file: named after the executable with ".ini", beside it when
// that folder is writable, else in the user's configuration folder.
QString connectionFilePath();

// Reads the keys in order into the controls; a missing file or key gives the
// default. A port or speed that is not a whole number throws, leaving the later
// keys unread.
void readConnectionFile(const QString& path, const ConnectionControls& controls);
// Throws when the file cannot be written.
void writeConnectionFile(const QString& path, const ConnectionControls& controls);
