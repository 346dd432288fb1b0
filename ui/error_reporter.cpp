#include "error_reporter.h"

QString errorReportText(const QString& location, const QString& error) {
    // Line feed before carriage return is the order users have always seen.
    return QStringLiteral("Ошибка по месту: ") + location + QStringLiteral("\n\rТекст ошибки: ") + error +
           QStringLiteral("\n\rСообщите разработчикам.");
}

void ErrorReporter::ShowError(const QString& location, const QString& error) {
    ++m_reported;
    m_boxes.show(QMessageBox::Critical, QStringLiteral("Ошибка"), errorReportText(location, error));
}
