#pragma once

#include "exchange_log.h"

#include <deque>
#include <optional>
#include <QAbstractTableModel>

class ExchangeRecorder;

// The calls an exchange log keeps, as a table: one row per call, oldest first, optionally only
// the failed ones or those of one function. It follows the log when refresh() is called, not on
// every call, so that recording stays cheap while nobody looks.
class ExchangeLogModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // The result and the time taken come before the long texts, so that they stay in view.
    enum Column {
        TimeColumn,
        FunctionColumn,
        ResultColumn,
        DurationColumn,
        SentColumn,
        ReceivedColumn,
        ErrorColumn,
        ColumnCount
    };

    explicit ExchangeLogModel(ExchangeRecorder& device, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void setErrorsOnly(bool on);
    // No function: calls of every function.
    void setFunction(std::optional<DeviceFunction> function);
    // Drops the rows of calls the log no longer keeps and adds the rows of new calls.
    void refresh();

    // The rows shown, a line each with the columns apart by tabs, under a line of the headings.
    QString text() const;

private:
    bool shows(const DeviceCall& call) const;
    QString cell(const DeviceCall& call, int column) const;
    void rebuild();

    ExchangeRecorder& m_device;
    std::deque<uint64_t> m_rows; // sequence numbers of the calls shown
    uint64_t m_scanned = 0;      // the calls before this one have been looked at
    bool m_errorsOnly = false;
    std::optional<DeviceFunction> m_function;
};
