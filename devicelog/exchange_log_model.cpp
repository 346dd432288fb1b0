#include "exchange_log_model.h"

#include "call_text.h"
#include "cp1251.h"
#include "exchange_recorder.h"

#include <QBrush>

ExchangeLogModel::ExchangeLogModel(ExchangeRecorder& device, QObject* parent)
    : QAbstractTableModel(parent)
    , m_device(device) {
    rebuild();
}

int ExchangeLogModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ExchangeLogModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ExchangeLogModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const DeviceCall& call = m_device.log().at(m_rows[std::size_t(index.row())]);
    // A long buffer is cut at the column's edge; its tooltip holds it whole.
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return cell(call, index.column());
    if (role == Qt::ForegroundRole && call.result < 0)
        return QBrush(Qt::darkRed);
    if (role == Qt::TextAlignmentRole && (index.column() == ResultColumn || index.column() == DurationColumn))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant ExchangeLogModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case TimeColumn:
        return QStringLiteral("Время");
    case FunctionColumn:
        return QStringLiteral("Функция");
    case ResultColumn:
        return QStringLiteral("Результат");
    case DurationColumn:
        return QStringLiteral("Длительность");
    case SentColumn:
        return QStringLiteral("Передано");
    case ReceivedColumn:
        return QStringLiteral("Получено");
    case ErrorColumn:
        return QStringLiteral("Текст ошибки");
    }
    return {};
}

QString ExchangeLogModel::cell(const DeviceCall& call, int column) const {
    switch (column) {
    case TimeColumn:
        return timeText(m_device.log(), call);
    case FunctionColumn:
        return QString::fromLatin1(deviceFunctionName(call.function));
    case SentColumn:
        return sentText(call);
    case ReceivedColumn:
        return receivedText(call);
    case ResultColumn:
        return QString::number(call.result);
    case ErrorColumn:
        return call.result < 0 ? fromCp1251(m_device.errorText(call.result)) : QString();
    case DurationColumn:
        return durationText(call.duration);
    }
    return {};
}

bool ExchangeLogModel::shows(const DeviceCall& call) const {
    return (!m_errorsOnly || call.result < 0) && (!m_function || call.function == *m_function);
}

void ExchangeLogModel::setErrorsOnly(bool on) {
    m_errorsOnly = on;
    rebuild();
}

void ExchangeLogModel::setFunction(std::optional<DeviceFunction> function) {
    m_function = function;
    rebuild();
}

void ExchangeLogModel::rebuild() {
    beginResetModel();
    m_rows.clear();
    m_scanned = m_device.log().firstSequence();
    endResetModel();
    refresh();
}

void ExchangeLogModel::refresh() {
    const ExchangeLog& log = m_device.log();
    std::size_t gone = 0;
    while (gone < m_rows.size() && m_rows[gone] < log.firstSequence())
        ++gone;
    if (gone > 0) {
        beginRemoveRows({}, 0, int(gone) - 1);
        m_rows.erase(m_rows.begin(), m_rows.begin() + qsizetype(gone));
        endRemoveRows();
    }
    std::vector<uint64_t> added;
    for (uint64_t sequence = std::max(m_scanned, log.firstSequence()); sequence < log.nextSequence(); ++sequence) {
        if (shows(log.at(sequence)))
            added.push_back(sequence);
    }
    m_scanned = log.nextSequence();
    if (added.empty())
        return;
    beginInsertRows({}, rowCount(), rowCount() + int(added.size()) - 1);
    m_rows.insert(m_rows.end(), added.begin(), added.end());
    endInsertRows();
}

QString ExchangeLogModel::text() const {
    QStringList lines;
    QStringList cells;
    for (int column = 0; column < ColumnCount; ++column)
        cells << headerData(column, Qt::Horizontal).toString();
    lines << cells.join(QLatin1Char('\t'));
    for (uint64_t sequence : m_rows) {
        cells.clear();
        for (int column = 0; column < ColumnCount; ++column)
            cells << cell(m_device.log().at(sequence), column);
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}
