#include "cp1251.h"

#include <array>
#include <cstring>
#include <iconv.h>
#include <unordered_map>

namespace {

// The upper half of the code page, taken from iconv once and then looked up,
// because goods transfers convert tens of thousands of short texts.
struct CodePage {
    std::array<char16_t, 128> upper{};
    std::unordered_map<char16_t, char> reverse;

    CodePage() {
        iconv_t cd = iconv_open("UTF-16LE", "WINDOWS-1251");
        for (int i = 0; i < 128; ++i) {
            char in = char(0x80 + i);
            char out[4] = {};
            char* inPtr = &in;
            char* outPtr = out;
            size_t inLeft = 1;
            size_t outLeft = sizeof out;
            // 0x98 has no character; like Windows, it maps to the control U+0098 and back, so that a
            // register's text comes back unchanged.
            char16_t unit = char16_t(0x80 + i);
            if (cd != iconv_t(-1) && iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1) &&
                outLeft == sizeof out - 2)
                std::memcpy(&unit, out, 2);
            reverse.emplace(unit, in);
            upper[size_t(i)] = unit;
        }
        if (cd != iconv_t(-1))
            iconv_close(cd);
    }
};

const CodePage& codePage() {
    static const CodePage page;
    return page;
}

} // namespace

QString fromCp1251(QByteArrayView bytes) {
    const CodePage& page = codePage();
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = b < 0x80 ? QChar(b) : QChar(page.upper[b - 0x80]);
    }
    return text;
}

QString fromDeviceText(const char* text) {
    return text ? fromCp1251(QByteArrayView(text, qstrlen(text))) : QString();
}

QByteArray toCp1251(QStringView text) {
    const CodePage& page = codePage();
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x80) {
            *out++ = char(u);
            continue;
        }
        const auto found = page.reverse.find(u);
        *out++ = found == page.reverse.end() ? '?' : found->second;
    }
    return bytes;
}

bool fitsCp1251(QStringView text) {
    const CodePage& page = codePage();
    for (QChar ch : text) {
        if (ch.unicode() >= 0x80 && !page.reverse.contains(ch.unicode()))
            return false;
    }
    return true;
}
