#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace orvel {

// The faults the "EMULATOR-FAULTS" port rehearses, counted in exchanges with the register (every
// call but GetPortName, SetPort, ClosePort and GetErrString) since the port was opened. 0 turns
// a fault off. The defaults show each fault once in a short session: connecting and its
// automatic read meet a garbled answer and a slow one, writing the advertising table is
// refused, and a goods read loses the connection.
struct FaultPlan {
    int garbleEvery = 25; // every N-th exchange the program repeats answers garbled, once
    int lostAfter = 150;  // after N exchanges the register answers no more (-5) until reopened
    int slowCall = 10;    // the N-th exchange answers late,
    int slowMs = 3000;    // by this many milliseconds
    int refuseTable = 4;  // every row write into this table is refused
};

// Lines of "key = value" (or pairs separated by ';'), '#' starting a comment; keys are
// garble-every, lost-after, slow-call, slow-ms and refuse-table. Keys not given keep the
// default; unknown keys and values that are not whole numbers from 0 are skipped.
FaultPlan parseFaultPlan(std::string_view text);

// The plan from the ORVEL_FAULTS environment variable when it is set, else from orvel-faults.txt
// in `folder` (the library's own), else the defaults.
FaultPlan loadFaultPlan(const std::filesystem::path& folder);

enum class Fault { None, Garbled, Lost, Slow, Refused };

// Decides the fault of each exchange by the plan.
class FaultInjector {
public:
    explicit FaultInjector(const FaultPlan& plan = {})
        : m_plan(plan) {}

    // `repeated`: the program repeats this call when it fails; `writtenTable`: the table of a row
    // write, 0 for any other call.
    Fault next(bool repeated, uint8_t writtenTable);
    const FaultPlan& plan() const { return m_plan; }

private:
    FaultPlan m_plan;
    int m_exchanges = 0;
    int m_repeated = 0;
};

} // namespace orvel
