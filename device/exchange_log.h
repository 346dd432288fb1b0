#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <string>

// The sixteen functions of the device library, in DeviceTable order.
enum class DeviceFunction : uint8_t {
    GetPortName,
    SetPort,
    ClosePort,
    GetErrString,
    GetDeviceType,
    GetWorksNum,
    GetRowValue,
    SetRowValue,
    GetPLU,
    SetPLU,
    WriteLogo,
    GetJRecordsCount,
    GetJRecord,
    GetJRecordNext,
    NEmptyFind,
    GetGoodsRest,
};
inline constexpr int kDeviceFunctionCount = 16;

const char* deviceFunctionName(DeviceFunction function);

// One call into the device library, kept raw: it is formatted only when someone looks.
struct DeviceCall {
    std::chrono::steady_clock::time_point started;
    std::chrono::nanoseconds duration{};
    DeviceFunction function = DeviceFunction::GetPortName;
    int32_t result = 0;
    // The numeric arguments in call order: the addresses first, then table, row and size, a goods
    // or record number, a logo kind, a port index or speed, an error code.
    std::array<int32_t, 5> args{};
    // The number a journal or stock query hands out.
    int32_t value = 0;
    // Bytes as they crossed: buffers as they are; texts in Windows-1251, each ended by a zero byte.
    std::string sent;
    std::string received;
};

// The last calls, oldest first; the oldest goes when a new one comes to a full log. Each call
// has a sequence number that stays its own while it is kept.
class ExchangeLog {
public:
    static constexpr std::size_t kCapacity = 100'000;

    explicit ExchangeLog(std::size_t capacity = kCapacity);

    // The slot for a new call; its strings keep their room from the call it replaces.
    DeviceCall& append();

    std::size_t size() const { return m_calls.size(); }
    std::size_t capacity() const { return m_capacity; }
    // Sequence numbers of the oldest kept call and of the next call to come.
    uint64_t firstSequence() const { return m_next - m_calls.size(); }
    uint64_t nextSequence() const { return m_next; }
    // `sequence` from firstSequence() up to nextSequence() - 1.
    const DeviceCall& at(uint64_t sequence) const;

    // The wall-clock time of a steady-clock instant, for showing when a call was made.
    std::chrono::system_clock::time_point wallClock(std::chrono::steady_clock::time_point time) const;

private:
    std::size_t m_capacity;
    std::deque<DeviceCall> m_calls; // a ring once full: the oldest call is at m_oldest
    std::size_t m_oldest = 0;
    uint64_t m_next = 0;
    std::chrono::steady_clock::time_point m_steadyStart = std::chrono::steady_clock::now();
    std::chrono::system_clock::time_point m_wallStart = std::chrono::system_clock::now();
};
