#include "exchange_log.h"

namespace {
constexpr std::array<const char*, kDeviceFunctionCount> kNames{
    "GetPortName", "SetPort",        "ClosePort",  "GetErrString", "GetDeviceType", "GetWorksNum",
    "GetRowValue", "SetRowValue",    "GetPLU",     "SetPLU",       "WriteLogo",     "GetJRecordsCount",
    "GetJRecord",  "GetJRecordNext", "NEmptyFind", "GetGoodsRest"};
}

const char* deviceFunctionName(DeviceFunction function) {
    return kNames[std::size_t(function)];
}

ExchangeLog::ExchangeLog(std::size_t capacity)
    : m_capacity(capacity) {}

DeviceCall& ExchangeLog::append() {
    ++m_next;
    if (m_calls.size() < m_capacity)
        return m_calls.emplace_back();
    DeviceCall& reused = m_calls[m_oldest];
    m_oldest = (m_oldest + 1) % m_capacity;
    return reused;
}

const DeviceCall& ExchangeLog::at(uint64_t sequence) const {
    return m_calls[(m_oldest + (sequence - firstSequence())) % m_calls.size()];
}

std::chrono::system_clock::time_point ExchangeLog::wallClock(std::chrono::steady_clock::time_point time) const {
    return m_wallStart + std::chrono::duration_cast<std::chrono::system_clock::duration>(time - m_steadyStart);
}
