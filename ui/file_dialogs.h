#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

// The open and save dialogs, behind one interface so tests can answer them.
// An empty name means the user cancelled.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // `filter` in Qt's form ("CSV Files (*.csv)"); a name typed without an extension gets `suffix`.
    virtual QString openFileName(const QString& folder, const QString& filter) = 0;
    virtual QString saveFileName(const QString& folder, const QString& filter, const QString& suffix) = 0;
};

class WidgetFileDialogs : public FileDialogs {
public:
    void setParent(QWidget* parent) { m_parent = parent; }
    QString openFileName(const QString& folder, const QString& filter) override;
    QString saveFileName(const QString& folder, const QString& filter, const QString& suffix) override;

private:
    QPointer<QWidget> m_parent;
};
