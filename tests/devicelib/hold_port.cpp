// Another program on the emulated register: it opens the port, writes goods 1 to 500 named by
// their numbers and says "written"; at a line on its input it closes the port and says "closed";
// at the next line it ends.
#include "emulated_register.h"

#include <cstdio>
#include <string>

namespace {

void say(const char* word) {
    std::puts(word);
    std::fflush(stdout);
}

bool waitForLine() {
    for (int c = std::getchar(); c != '\n'; c = std::getchar()) {
        if (c == EOF)
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    orvel::EmulatedRegister device(argv[1]);
    if (device.open("EMULATOR", 9600) != 0)
        return 1;
    for (uint16_t number = 1; number <= 500; ++number) {
        const std::string name = std::to_string(number);
        if (device.writeGoods(number, {name.c_str(), "", "1", "2.50", "0", "0", "0"}) != 0)
            return 1;
    }
    say("written");
    if (!waitForLine() || device.close() != 0)
        return 1;
    say("closed");
    return waitForLine() ? 0 : 1;
}
