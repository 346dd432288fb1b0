#pragma once

#include <cstdint>

namespace orvel {

// The library's ports, in GetPortName order. All reach the one emulated register; the two
// rehearsal ports add what a real cable brings: its speed, or faults on demand.
enum class Port : uint8_t {
    Emulator,
    Wire,   // every call takes the time its bytes need at the chosen speed
    Faults, // errors, a lost connection and a slow reply, as set in the fault plan
};

// 0 and the port's name for an index in the list; NoSuchPort past its end.
int32_t portName(uint8_t index, const char** name);
// False for a name that is not in the list; `port` is set otherwise.
bool portByName(const char* name, Port& port);

} // namespace orvel
