#include "cp1251.h"

#include <cstdint>

namespace orvel {

namespace {

int sequenceLength(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 0;
}

char toCp1251Byte(char32_t c) {
    if (c < 0x80)
        return static_cast<char>(c);
    if (c >= U'А' && c <= U'я')
        return static_cast<char>(0xC0 + (c - U'А'));
    switch (c) {
    case U'Ё':
        return '\xA8';
    case U'ё':
        return '\xB8';
    case U'№':
        return '\xB9';
    default:
        return '?';
    }
}

} // namespace

std::string toCp1251(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int length = sequenceLength(lead);
        bool valid = length > 0 && i + length <= utf8.size();
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        out += valid ? toCp1251Byte(c) : '?';
        i += valid ? length : 1;
    }
    return out;
}

} // namespace orvel
