#pragma once

#include "device_table.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

// A register whose row and goods calls hang until the test answers them, or until the library is
// told to give up through its abort hook; as with the bridge, every such call after that fails at
// once with -5. GetErrString answers at once; the rest are not bound. One instance at a time is live.
class HangingDevice {
public:
    // What a hanging call returns when nobody answered it in time, so that a faulty test ends.
    static constexpr int32_t kNeverAnswered = -99;

    HangingDevice();
    ~HangingDevice();
    HangingDevice(const HangingDevice&) = delete;
    HangingDevice& operator=(const HangingDevice&) = delete;

    // With `abortable`, the table has the abort hook.
    static DeviceTable table(bool abortable);
    static HangingDevice& current();

    // Ends the call that hangs, or the next one, with `result`; from any thread.
    void answer(int32_t result);
    int32_t hang();
    int32_t abort();

    std::atomic<int> calls{0};
    std::atomic<int> aborts{0};
    std::atomic<int> errorTexts{0};

private:
    std::mutex m_lock;
    std::condition_variable m_answered;
    bool m_waiting = false;
    bool m_hasAnswer = false;
    bool m_lost = false;
    int32_t m_answer = 0;
};
