#include "call_text.h"

#include "cp1251.h"

#include <QDateTime>
#include <QLocale>
#include <QStringList>

namespace {

QString hex(const std::string& bytes) {
    return QString::fromLatin1(QByteArray::fromStdString(bytes).toHex(' ').toUpper());
}

// The zero-ended texts one after another, each decoded and in quotes.
QString texts(std::string_view bytes) {
    QStringList quoted;
    while (!bytes.empty()) {
        const auto end = bytes.find('\0');
        const std::string_view text = bytes.substr(0, end);
        quoted << QStringLiteral("«%1»").arg(fromCp1251(QByteArrayView(text.data(), qsizetype(text.size()))));
        bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
    }
    return quoted.join(QStringLiteral(", "));
}

QString addresses(const DeviceCall& call) {
    return QStringLiteral("ККМ %1, ПК %2").arg(call.args[0]).arg(call.args[1]);
}

// A buffer's size is sent as the index of its last byte; the log shows the count of bytes.
QString rowOf(const DeviceCall& call) {
    return QStringLiteral("%1, таблица %2, строка %3, байт %4")
        .arg(addresses(call))
        .arg(call.args[2])
        .arg(call.args[3])
        .arg(call.args[4] + 1);
}

QString logoKind(int32_t kind) {
    switch (kind) {
    case 0:
        return QStringLiteral("заголовок");
    case 1:
        return QStringLiteral("строка рисунка");
    default:
        return QStringLiteral("вид %1").arg(kind);
    }
}

QString withData(const QString& arguments, const QString& data) {
    return data.isEmpty() ? arguments : arguments + QStringLiteral(": ") + data;
}

} // namespace

QString sentText(const DeviceCall& call) {
    switch (call.function) {
    case DeviceFunction::GetPortName:
        return QStringLiteral("порт № %1").arg(call.args[0]);
    case DeviceFunction::SetPort:
        return QStringLiteral("порт %1, скорость %2").arg(texts(call.sent)).arg(call.args[0]);
    case DeviceFunction::ClosePort:
        return {};
    case DeviceFunction::GetErrString:
        return QStringLiteral("код %1").arg(call.args[0]);
    case DeviceFunction::GetDeviceType:
    case DeviceFunction::GetWorksNum:
    case DeviceFunction::GetJRecordsCount:
    case DeviceFunction::GetJRecordNext:
    case DeviceFunction::NEmptyFind:
        return addresses(call);
    case DeviceFunction::GetRowValue:
        return rowOf(call);
    case DeviceFunction::SetRowValue:
        return withData(rowOf(call), hex(call.sent));
    case DeviceFunction::GetPLU:
    case DeviceFunction::GetGoodsRest:
        return QStringLiteral("%1, товар %2").arg(addresses(call)).arg(call.args[2]);
    case DeviceFunction::SetPLU:
        return withData(QStringLiteral("%1, товар %2").arg(addresses(call)).arg(call.args[2]), texts(call.sent));
    case DeviceFunction::WriteLogo:
        return withData(
            QStringLiteral("%1, %2, байт %3").arg(addresses(call), logoKind(call.args[2])).arg(call.args[3] + 1),
            hex(call.sent));
    case DeviceFunction::GetJRecord:
        return QStringLiteral("%1, запись %2").arg(addresses(call)).arg(call.args[2]);
    }
    return {};
}

QString receivedText(const DeviceCall& call) {
    if (call.received.empty())
        return {};
    switch (call.function) {
    case DeviceFunction::GetDeviceType:
        return hex(call.received.substr(0, 4)) + QStringLiteral(", ") +
               texts(std::string_view(call.received).substr(4));
    case DeviceFunction::GetRowValue:
        return hex(call.received);
    case DeviceFunction::GetJRecordsCount:
    case DeviceFunction::GetJRecord:
    case DeviceFunction::GetJRecordNext:
    case DeviceFunction::NEmptyFind:
    case DeviceFunction::GetGoodsRest:
        return QStringLiteral("значение %1: %2").arg(call.value).arg(hex(call.received));
    default:
        return texts(call.received);
    }
}

QString timeText(const ExchangeLog& log, const DeviceCall& call) {
    const auto wall = log.wallClock(call.started);
    const qint64 ms = std::chrono::duration_cast<std::chrono::milliseconds>(wall.time_since_epoch()).count();
    return QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("HH:mm:ss.zzz"));
}

QString durationText(std::chrono::nanoseconds duration) {
    return QStringLiteral("%1 мс").arg(QLocale().toString(double(duration.count()) / 1e6, 'f', 3));
}
