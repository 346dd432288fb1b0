// The emulated register's state file: a damaged or hostile file is refused, never a crash, and a
// file that loads saves back to the same state. The first byte chooses whether the rest is the
// whole file or a payload given an intact head, which a checksum would otherwise keep out of reach.
#include "fuzz_check.h"
#include "state_file.h"

#include <array>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const std::span<const uint8_t> rest(data + 1, size - 1);
    std::vector<uint8_t> file;
    if (data[0] & 1) {
        constexpr std::array<uint8_t, 12> head{'K', 'K', 'M', 'E', 'M', 'U', 'L', 0x1A, 1, 0, 0, 0};
        file.assign(head.begin(), head.end());
        for (const uint32_t number : {static_cast<uint32_t>(rest.size()), orvel::crc32(rest)}) {
            for (int i = 0; i < 4; ++i)
                file.push_back(static_cast<uint8_t>(number >> (8 * i)));
        }
    }
    file.insert(file.end(), rest.begin(), rest.end());

    const auto state = orvel::parseState(file);
    if (!state)
        return 0;
    const auto again = orvel::parseState(orvel::serializeState(*state));
    FUZZ_CHECK(again && *again == *state);
    return 0;
}
