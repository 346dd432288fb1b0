#include "cli_report.h"

#include <QJsonDocument>

CliReport& CliReport::fail(ExitCode code, const QString& message) {
    exit = code;
    json.insert(QStringLiteral("failed"), true);
    json.insert(QStringLiteral("msg"), message);
    lines << message;
    return *this;
}

QByteArray printed(const CliReport& report, bool json) {
    if (json)
        return QJsonDocument(report.json).toJson(QJsonDocument::Compact) + '\n';
    return report.lines.isEmpty() ? QByteArray()
                                  : (report.lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toLocal8Bit();
}
