#include "pe_header.h"

#include <cstdint>
#include <fstream>
#include <string>

namespace bridge {

namespace {

constexpr std::size_t kPeOffsetField = 0x3C;
constexpr uint16_t kMachineX86 = 0x014C;
constexpr uint16_t kMachineX64 = 0x8664;
// Linkers put the PE header within the first few hundred bytes.
constexpr std::size_t kHeadSize = 4096;

uint32_t littleEndian(std::string_view bytes, std::size_t at, std::size_t size) {
    uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i)
        value |= uint32_t{static_cast<uint8_t>(bytes[at + i])} << (8 * i);
    return value;
}

} // namespace

int peImageBits(std::string_view head) {
    if (head.size() < kPeOffsetField + 4 || !head.starts_with("MZ"))
        return 0;
    const std::size_t pe = littleEndian(head, kPeOffsetField, 4);
    if (pe > head.size() || head.size() - pe < 6 || head.substr(pe, 4) != std::string_view("PE\0\0", 4))
        return 0;
    switch (littleEndian(head, pe + 4, 2)) {
    case kMachineX86:
        return 32;
    case kMachineX64:
        return 64;
    default:
        return 0;
    }
}

std::string readImageHead(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::string head(kHeadSize, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return head;
}

} // namespace bridge
