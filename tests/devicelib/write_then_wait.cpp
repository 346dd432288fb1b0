// A program using the emulated register that is killed rather than ended: it writes row 5/1 as
// 0x01, one second later as 0x02, says "written" and waits to be killed.
#include "emulated_register.h"

#include <chrono>
#include <cstdio>
#include <thread>

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    orvel::EmulatedRegister device(argv[1]);
    const uint8_t first[3] = {0x01, 0x00, 1}, second[3] = {0x02, 0x00, 1};
    if (device.open("EMULATOR", 9600) != 0 || device.writeRow(5, 1, first, 2) != 3)
        return 1;
    std::this_thread::sleep_for(std::chrono::seconds(1));
    if (device.writeRow(5, 1, second, 2) != 3)
        return 1;
    std::puts("written");
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::minutes(2));
    return 0;
}
