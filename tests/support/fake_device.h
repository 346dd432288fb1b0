#pragma once

#include "device_table.h"

#include <functional>
#include <QByteArray>
#include <QByteArrayList>
#include <QHash>
#include <QList>
#include <QStringList>

// A scripted register behind a device table. One instance at a time is live;
// the table's functions reach it through a static pointer, as a C library would.
class FakeDevice {
public:
    struct Call {
        QString function;
        // Numeric arguments in order: addresses first, then table and row, size, ...
        QList<int> args;
        // Texts or bytes the call sent.
        QByteArray bytes;
    };

    FakeDevice();
    ~FakeDevice();
    FakeDevice(const FakeDevice&) = delete;
    FakeDevice& operator=(const FakeDevice&) = delete;

    static DeviceTable table();
    static FakeDevice& current();

    // Port names in Windows-1251, answered for indexes 0, 1, ...
    QByteArrayList ports;
    // Results handed out in order per function; when a function's queue is
    // empty it answers with `results`, then 0.
    QHash<QString, QList<int32_t>> queued;
    QHash<QString, int32_t> results;
    // Text of GetErrString per code, in Windows-1251.
    QHash<int32_t, QByteArray> errorTexts;
    // Register table rows by (table, row); GetRowValue reads them, SetRowValue replaces them.
    QHash<QPair<int, int>, QByteArray> rows;
    // Goods records by number: seven texts in Windows-1251. SetPLU stores what it is sent
    // and records the texts joined by "|".
    QHash<int, QByteArrayList> goods;
    // The journal and stock queries: with a result of 0 or more they hand out `queryValue`
    // and the reply scripted for the function; without one the reply pointer stays as it was.
    QHash<QString, QByteArray> replies;
    int32_t queryValue = 0;
    // Identification answers.
    uint8_t deviceBytes[4] = {0x03, 0x00, 0x12, 0x10};
    QByteArray model = "  \xCA\xCA\xCC-1  ";
    QByteArray serial = "00012345";

    QList<Call> calls;
    // Runs after each call is recorded, as a register's delay would let the window run.
    std::function<void(const Call&)> onCall;
    QStringList callNames() const;
    QList<Call> callsOf(const QString& function) const;

    int32_t record(const char* function, QList<int> args = {}, QByteArray bytes = {});
};
