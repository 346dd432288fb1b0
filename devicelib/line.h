#pragma once

#include "fault_plan.h"
#include "ports.h"
#include "result_codes.h"
#include "wire_time.h"

#include <chrono>
#include <optional>
#include <thread>

namespace orvel {

// One exchange with the register as the line sees it.
struct Exchange {
    int requestBytes = 0;     // the data the call sends, without framing
    bool repeated = false;    // the program repeats this call when it fails
    uint8_t writtenTable = 0; // the table of a row write
};

// What stands between the program and the register: the open port, its speed, and on the
// rehearsal ports the wire's time or the planned faults.
class Line {
public:
    void open(Port port, int32_t baud, const FaultPlan& plan) {
        m_port = port;
        m_baud = baud;
        m_faults = FaultInjector(plan);
    }
    void close() { m_port.reset(); }

    // Runs `call` as the open port would: `replyBytes(result)` is the data its answer carries.
    template <typename Call, typename ReplyBytes>
    int32_t exchange(const Exchange& exchange, Call&& call, ReplyBytes&& replyBytes) {
        if (m_port == Port::Faults) {
            switch (m_faults.next(exchange.repeated, exchange.writtenTable)) {
            case Fault::Lost:
                return NoAnswer;
            case Fault::Refused:
                return WriteRefused;
            case Fault::Garbled:
                return GarbledAnswer;
            case Fault::Slow:
                std::this_thread::sleep_for(std::chrono::milliseconds(m_faults.plan().slowMs));
                break;
            case Fault::None:
                break;
            }
        }
        if (m_port != Port::Wire)
            return call();
        const auto started = std::chrono::steady_clock::now();
        const int32_t result = call();
        std::this_thread::sleep_until(started + wireTime(m_baud, exchange.requestBytes, replyBytes(result)));
        return result;
    }

private:
    std::optional<Port> m_port; // none while the port is closed: the register answers at once
    int32_t m_baud = 0;
    FaultInjector m_faults;
};

} // namespace orvel
