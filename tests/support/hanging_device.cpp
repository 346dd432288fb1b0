#include "hanging_device.h"

#include <cassert>
#include <chrono>

namespace {

HangingDevice* live = nullptr;

int32_t ORVEL_CALL hangingGetRowValue(uint8_t, uint8_t, uint8_t, uint16_t, uint8_t*, int32_t) {
    return HangingDevice::current().hang();
}
int32_t ORVEL_CALL hangingGetPLU(uint8_t, uint8_t, uint16_t, const char**, const char**, const char**, const char**,
                                 const char**, const char**, const char**) {
    return HangingDevice::current().hang();
}
const char* ORVEL_CALL quickGetErrString(int32_t) {
    ++HangingDevice::current().errorTexts;
    // Windows-1251 for "ККМ не отвечает".
    return "\xCA\xCA\xCC \xED\xE5 \xEE\xF2\xE2\xE5\xF7\xE0\xE5\xF2";
}
int32_t ORVEL_CALL hangingAbort() {
    return HangingDevice::current().abort();
}

} // namespace

HangingDevice::HangingDevice() {
    assert(!live);
    live = this;
}

HangingDevice::~HangingDevice() {
    live = nullptr;
}

HangingDevice& HangingDevice::current() {
    assert(live);
    return *live;
}

DeviceTable HangingDevice::table(bool abortable) {
    DeviceTable table;
    table.GetErrString = quickGetErrString;
    table.GetRowValue = hangingGetRowValue;
    table.GetPLU = hangingGetPLU;
    if (abortable)
        table.OrvelAbortCall = hangingAbort;
    return table;
}

void HangingDevice::answer(int32_t result) {
    const std::lock_guard lock(m_lock);
    m_hasAnswer = true;
    m_answer = result;
    m_answered.notify_one();
}

int32_t HangingDevice::hang() {
    ++calls;
    std::unique_lock lock(m_lock);
    if (m_lost)
        return -5;
    m_waiting = true;
    const bool answered = m_answered.wait_for(lock, std::chrono::seconds(10), [this] { return m_hasAnswer; });
    m_waiting = false;
    m_hasAnswer = false;
    return answered ? m_answer : kNeverAnswered;
}

int32_t HangingDevice::abort() {
    ++aborts;
    const std::lock_guard lock(m_lock);
    if (!m_waiting)
        return 1;
    m_hasAnswer = true;
    m_answer = -5;
    m_lost = true;
    m_answered.notify_one();
    return 0;
}
