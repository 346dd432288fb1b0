#include "file_dialogs.h"

#include <QFileDialog>

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
