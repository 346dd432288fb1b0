#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

// The open and save dialogs, behind one interface so tests can answer them.
// An empty name means the user cancelled. `folder` may end in a file name,
// which the dialog then proposes.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // `filter` in Qt's form ("CSV Files (*.csv)"); a name typed without an extension gets `suffix`.
    virtual QString openFileName(const QString& folder, const QString& filter, const QString& suffix = {}) = 0;
    // `askBeforeReplacing` false: choosing an existing file asks nothing (a save that merges into it).
    virtual QString saveFileName(const QString& folder, const QString& filter, const QString& suffix,
                                 bool askBeforeReplacing = true) = 0;

    // The program's dialogs start in the last folder a file was chosen in (else the user's home),
    // proposing `name`, and remember the chosen file's folder.
    QString open(const QString& filter, const QString& suffix = {});
    QString save(const QString& name, const QString& filter, const QString& suffix, bool askBeforeReplacing = true);
    // Empty: the user's home.
    QString lastFolder() const { return m_lastFolder; }
    void setLastFolder(const QString& folder) { m_lastFolder = folder; }

private:
    QString startFolder() const;
    QString remembered(const QString& chosen);

    QString m_lastFolder;
};

class WidgetFileDialogs : public FileDialogs {
public:
    void setParent(QWidget* parent) { m_parent = parent; }
    QString openFileName(const QString& folder, const QString& filter, const QString& suffix = {}) override;
    QString saveFileName(const QString& folder, const QString& filter, const QString& suffix,
                         bool askBeforeReplacing = true) override;

private:
    QPointer<QWidget> m_parent;
};
