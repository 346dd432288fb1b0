#include "file_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

QString FileDialogs::startFolder() const {
    return !m_lastFolder.isEmpty() && QFileInfo(m_lastFolder).isDir() ? m_lastFolder : QDir::homePath();
}

QString FileDialogs::remembered(const QString& chosen) {
    if (!chosen.isEmpty())
        m_lastFolder = QFileInfo(chosen).absolutePath();
    return chosen;
}

QString FileDialogs::open(const QString& filter, const QString& suffix) {
    return remembered(openFileName(startFolder(), filter, suffix));
}

QString FileDialogs::save(const QString& name, const QString& filter, const QString& suffix, bool askBeforeReplacing) {
    const QString folder = startFolder();
    return remembered(
        saveFileName(name.isEmpty() ? folder : QDir(folder).filePath(name), filter, suffix, askBeforeReplacing));
}

QString WidgetFileDialogs::openFileName(const QString& folder, const QString& filter, const QString& suffix) {
    QFileDialog dialog(m_parent, QString(), folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(suffix);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

QString WidgetFileDialogs::saveFileName(const QString& folder, const QString& filter, const QString& suffix,
                                        bool askBeforeReplacing) {
    QFileDialog dialog(m_parent, QString(), folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !askBeforeReplacing);
    dialog.setDefaultSuffix(suffix);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}
