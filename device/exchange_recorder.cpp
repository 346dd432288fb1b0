#include "exchange_recorder.h"

#include <algorithm>

namespace {

void putBytes(std::string& to, const void* bytes, int32_t count) {
    if (bytes && count > 0)
        to.append(static_cast<const char*>(bytes), std::size_t(count));
}

// Texts follow one another, each with its zero byte; a missing text is an empty one.
void putText(std::string& to, const char* text) {
    if (text)
        to.append(text);
    to.push_back('\0');
}

} // namespace

ExchangeRecorder::ExchangeRecorder(const DeviceTable& device, std::size_t capacity, DeviceThread* thread)
    : m_device(device)
    , m_thread(thread)
    , m_log(capacity) {}

DeviceCall& ExchangeRecorder::record(DeviceFunction function, Clock::time_point started, int32_t result,
                                     std::initializer_list<int32_t> args) {
    const auto ended = Clock::now();
    DeviceCall& call = m_log.append();
    call.started = started;
    call.duration = ended - started;
    call.function = function;
    call.result = result;
    call.args.fill(0);
    std::copy_n(args.begin(), std::min(args.size(), call.args.size()), call.args.begin());
    call.value = 0;
    call.sent.clear();
    call.received.clear();
    return call;
}

int32_t ExchangeRecorder::recordQuery(DeviceFunction function, Clock::time_point started, int32_t result,
                                      std::initializer_list<int32_t> args, const int32_t* value,
                                      const uint8_t* const* reply) {
    DeviceCall& call = record(function, started, result, args);
    if (result >= 0 && value)
        call.value = *value;
    if (result >= 0 && reply && result <= kLargestReply - 5)
        putBytes(call.received, *reply, result + 5);
    return result;
}

int32_t ExchangeRecorder::GetPortName(uint8_t index, const char** name) {
    const auto started = Clock::now();
    const int32_t result = device([&] { return m_device.GetPortName(index, name); });
    DeviceCall& call = record(DeviceFunction::GetPortName, started, result, {index});
    if (result == 0 && name)
        putText(call.received, *name);
    return result;
}

int32_t ExchangeRecorder::SetPort(const char* portName, int32_t baud) {
    const auto started = Clock::now();
    const int32_t result = device([&] { return m_device.SetPort(portName, baud); });
    putText(record(DeviceFunction::SetPort, started, result, {baud}).sent, portName);
    return result;
}

int32_t ExchangeRecorder::ClosePort() {
    const auto started = Clock::now();
    const int32_t result = device([&] { return m_device.ClosePort(); });
    record(DeviceFunction::ClosePort, started, result, {});
    return result;
}

const char* ExchangeRecorder::GetErrString(int32_t code) {
    const auto started = Clock::now();
    const char* text = device([&] { return m_device.GetErrString(code); });
    putText(record(DeviceFunction::GetErrString, started, 0, {code}).received, text);
    m_errorTexts.insert(code, QByteArray(text));
    return text;
}

int32_t ExchangeRecorder::GetDeviceType(uint8_t kkmAddr, uint8_t pcAddr, uint8_t* b1, uint8_t* b2, uint8_t* b3,
                                        uint8_t* b4, const char** model) {
    const auto started = Clock::now();
    const int32_t result = device([&] { return m_device.GetDeviceType(kkmAddr, pcAddr, b1, b2, b3, b4, model); });
    DeviceCall& call = record(DeviceFunction::GetDeviceType, started, result, {kkmAddr, pcAddr});
    if (result >= 0) {
        for (const uint8_t* byte : {b1, b2, b3, b4})
            call.received.push_back(byte ? char(*byte) : '\0');
        putText(call.received, model ? *model : nullptr);
    }
    return result;
}

int32_t ExchangeRecorder::GetWorksNum(uint8_t kkmAddr, uint8_t pcAddr, const char** serial) {
    const auto started = Clock::now();
    const int32_t result = device([&] { return m_device.GetWorksNum(kkmAddr, pcAddr, serial); });
    DeviceCall& call = record(DeviceFunction::GetWorksNum, started, result, {kkmAddr, pcAddr});
    if (result >= 0)
        putText(call.received, serial ? *serial : nullptr);
    return result;
}

int32_t ExchangeRecorder::GetRowValue(uint8_t kkmAddr, uint8_t pcAddr, uint8_t table, uint16_t row, uint8_t* buf,
                                      int32_t lastIndex) {
    const auto started = Clock::now();
    const int32_t result = device([&] { return m_device.GetRowValue(kkmAddr, pcAddr, table, row, buf, lastIndex); });
    DeviceCall& call = record(DeviceFunction::GetRowValue, started, result, {kkmAddr, pcAddr, table, row, lastIndex});
    if (result >= 0)
        putBytes(call.received, buf, lastIndex + 1);
    return result;
}

int32_t ExchangeRecorder::SetRowValue(uint8_t kkmAddr, uint8_t pcAddr, uint8_t table, uint16_t row, const uint8_t* buf,
                                      int32_t lastIndex) {
    const auto started = Clock::now();
    const int32_t result = device([&] { return m_device.SetRowValue(kkmAddr, pcAddr, table, row, buf, lastIndex); });
    putBytes(record(DeviceFunction::SetRowValue, started, result, {kkmAddr, pcAddr, table, row, lastIndex}).sent, buf,
             lastIndex + 1);
    return result;
}

int32_t ExchangeRecorder::GetPLU(uint8_t kkmAddr, uint8_t pcAddr, uint16_t number, const char** name,
                                 const char** barcode, const char** section, const char** price,
                                 const char** fractional, const char** sales, const char** returns) {
    const auto started = Clock::now();
    const int32_t result = device([&] {
        return m_device.GetPLU(kkmAddr, pcAddr, number, name, barcode, section, price, fractional, sales, returns);
    });
    DeviceCall& call = record(DeviceFunction::GetPLU, started, result, {kkmAddr, pcAddr, number});
    if (result >= 0) {
        for (const char** text : {name, barcode, section, price, fractional, sales, returns})
            putText(call.received, text ? *text : nullptr);
    }
    return result;
}

int32_t ExchangeRecorder::SetPLU(uint8_t kkmAddr, uint8_t pcAddr, uint16_t number, const char* name,
                                 const char* barcode, const char* section, const char* price, const char* fractional,
                                 const char* sales, const char* returns) {
    const auto started = Clock::now();
    const int32_t result = device([&] {
        return m_device.SetPLU(kkmAddr, pcAddr, number, name, barcode, section, price, fractional, sales, returns);
    });
    DeviceCall& call = record(DeviceFunction::SetPLU, started, result, {kkmAddr, pcAddr, number});
    for (const char* text : {name, barcode, section, price, fractional, sales, returns})
        putText(call.sent, text);
    return result;
}

int32_t ExchangeRecorder::WriteLogo(uint8_t kkmAddr, uint8_t pcAddr, int32_t kind, const uint8_t* buf,
                                    int32_t lastIndex) {
    const auto started = Clock::now();
    const int32_t result = device([&] { return m_device.WriteLogo(kkmAddr, pcAddr, kind, buf, lastIndex); });
    putBytes(record(DeviceFunction::WriteLogo, started, result, {kkmAddr, pcAddr, kind, lastIndex}).sent, buf,
             lastIndex + 1);
    return result;
}

int32_t ExchangeRecorder::GetJRecordsCount(uint8_t kkmAddr, uint8_t pcAddr, int32_t* count, const uint8_t** reply) {
    const auto started = Clock::now();
    const int32_t result = device([&] { return m_device.GetJRecordsCount(kkmAddr, pcAddr, count, reply); });
    return recordQuery(DeviceFunction::GetJRecordsCount, started, result, {kkmAddr, pcAddr}, count, reply);
}

int32_t ExchangeRecorder::GetJRecord(uint8_t kkmAddr, uint8_t pcAddr, int32_t number, int32_t* value,
                                     const uint8_t** reply) {
    const auto started = Clock::now();
    const int32_t result = device([&] { return m_device.GetJRecord(kkmAddr, pcAddr, number, value, reply); });
    return recordQuery(DeviceFunction::GetJRecord, started, result, {kkmAddr, pcAddr, number}, value, reply);
}

int32_t ExchangeRecorder::GetJRecordNext(uint8_t kkmAddr, uint8_t pcAddr, int32_t* value, const uint8_t** reply) {
    const auto started = Clock::now();
    const int32_t result = device([&] { return m_device.GetJRecordNext(kkmAddr, pcAddr, value, reply); });
    return recordQuery(DeviceFunction::GetJRecordNext, started, result, {kkmAddr, pcAddr}, value, reply);
}

int32_t ExchangeRecorder::NEmptyFind(uint8_t kkmAddr, uint8_t pcAddr, int32_t* value, const uint8_t** reply) {
    const auto started = Clock::now();
    const int32_t result = device([&] { return m_device.NEmptyFind(kkmAddr, pcAddr, value, reply); });
    return recordQuery(DeviceFunction::NEmptyFind, started, result, {kkmAddr, pcAddr}, value, reply);
}

int32_t ExchangeRecorder::GetGoodsRest(uint8_t kkmAddr, uint8_t pcAddr, int32_t number, int32_t* value,
                                       const uint8_t** reply) {
    const auto started = Clock::now();
    const int32_t result = device([&] { return m_device.GetGoodsRest(kkmAddr, pcAddr, number, value, reply); });
    return recordQuery(DeviceFunction::GetGoodsRest, started, result, {kkmAddr, pcAddr, number}, value, reply);
}

QByteArray ExchangeRecorder::errorText(int32_t code) {
    const auto known = m_errorTexts.constFind(code);
    if (known != m_errorTexts.constEnd())
        return *known;
    // The log repaints while a call is waited for; the library takes one call at a time.
    if (m_thread && m_thread->busy())
        return {};
    return *m_errorTexts.insert(code, QByteArray(device([&] { return m_device.GetErrString(code); })));
}

void ExchangeRecorder::abortWaitingCall() {
    if (m_thread && m_thread->busy() && m_device.OrvelAbortCall)
        m_device.OrvelAbortCall();
}

void ExchangeRecorder::letThroughWhileWaiting(QObject* control) {
    if (m_thread)
        m_thread->letThrough(control);
}
