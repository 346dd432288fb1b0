#include "ports.h"

#include "result_codes.h"

#include <array>
#include <cstring>

namespace orvel {

namespace {
constexpr std::array<const char*, 3> kNames{"EMULATOR", "EMULATOR-WIRE", "EMULATOR-FAULTS"};
}

int32_t portName(uint8_t index, const char** name) {
    if (!name)
        return NullPointer;
    if (index >= kNames.size())
        return NoSuchPort;
    *name = kNames[index];
    return Ok;
}

bool portByName(const char* name, Port& port) {
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (std::strcmp(name, kNames[i]) == 0) {
            port = Port(i);
            return true;
        }
    }
    return false;
}

} // namespace orvel
