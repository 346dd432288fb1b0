#pragma once

#include "device_table.h"
#include "device_thread.h"
#include "exchange_log.h"

#include <QByteArray>
#include <QHash>

// The device table as the program calls it, with every call written into a log: what went in,
// what came out, the result and how long the library took. It has the table's sixteen functions
// under the same names, so a call reads the same whether it is recorded or not. Given a thread,
// the library's calls run on it while the window waits; without one, where they are made.
class ExchangeRecorder {
public:
    // A reply array larger than this is not copied: only a faulty library announces one.
    static constexpr int32_t kLargestReply = 4096 + 5;

    explicit ExchangeRecorder(const DeviceTable& device, std::size_t capacity = ExchangeLog::kCapacity,
                              DeviceThread* thread = nullptr);

    int32_t GetPortName(uint8_t index, const char** name);
    int32_t SetPort(const char* portName, int32_t baud);
    int32_t ClosePort();
    const char* GetErrString(int32_t code);
    int32_t GetDeviceType(uint8_t kkmAddr, uint8_t pcAddr, uint8_t* b1, uint8_t* b2, uint8_t* b3, uint8_t* b4,
                          const char** model);
    int32_t GetWorksNum(uint8_t kkmAddr, uint8_t pcAddr, const char** serial);
    int32_t GetRowValue(uint8_t kkmAddr, uint8_t pcAddr, uint8_t table, uint16_t row, uint8_t* buf, int32_t lastIndex);
    int32_t SetRowValue(uint8_t kkmAddr, uint8_t pcAddr, uint8_t table, uint16_t row, const uint8_t* buf,
                        int32_t lastIndex);
    int32_t GetPLU(uint8_t kkmAddr, uint8_t pcAddr, uint16_t number, const char** name, const char** barcode,
                   const char** section, const char** price, const char** fractional, const char** sales,
                   const char** returns);
    int32_t SetPLU(uint8_t kkmAddr, uint8_t pcAddr, uint16_t number, const char* name, const char* barcode,
                   const char* section, const char* price, const char* fractional, const char* sales,
                   const char* returns);
    int32_t WriteLogo(uint8_t kkmAddr, uint8_t pcAddr, int32_t kind, const uint8_t* buf, int32_t lastIndex);
    int32_t GetJRecordsCount(uint8_t kkmAddr, uint8_t pcAddr, int32_t* count, const uint8_t** reply);
    int32_t GetJRecord(uint8_t kkmAddr, uint8_t pcAddr, int32_t number, int32_t* value, const uint8_t** reply);
    int32_t GetJRecordNext(uint8_t kkmAddr, uint8_t pcAddr, int32_t* value, const uint8_t** reply);
    int32_t NEmptyFind(uint8_t kkmAddr, uint8_t pcAddr, int32_t* value, const uint8_t** reply);
    int32_t GetGoodsRest(uint8_t kkmAddr, uint8_t pcAddr, int32_t number, int32_t* value, const uint8_t** reply);

    const ExchangeLog& log() const { return m_log; }

    // Tells a library that can be told (its optional OrvelAbortCall) to give up the call being
    // waited for, which then ends as the register's silence does; anything else keeps waiting.
    void abortWaitingCall();
    // The control whose input gets through while a call is waited for: the stop button.
    void letThroughWhileWaiting(QObject* control);

    // The library's text for a result code in Windows-1251, for showing the log: the text the
    // library last gave for it, else asked once, unrecorded, so a failure the program retried
    // away still shows why; empty while a call is waited for.
    QByteArray errorText(int32_t code);

private:
    using Clock = std::chrono::steady_clock;
    template <typename Call> auto device(Call&& call) { return m_thread ? m_thread->run(call) : call(); }
    DeviceCall& record(DeviceFunction function, Clock::time_point started, int32_t result,
                       std::initializer_list<int32_t> args);
    int32_t recordQuery(DeviceFunction function, Clock::time_point started, int32_t result,
                        std::initializer_list<int32_t> args, const int32_t* value, const uint8_t* const* reply);

    DeviceTable m_device;
    DeviceThread* m_thread;
    ExchangeLog m_log;
    QHash<int32_t, QByteArray> m_errorTexts;
};
