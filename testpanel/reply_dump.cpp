#include "reply_dump.h"

QString replyDump(const uint8_t* reply, int32_t result) {
    static constexpr char digits[] = "0123456789ABCDEF";
    const int32_t size = result + 5;
    QString text;
    text.reserve(size * 3);
    for (int32_t i = 0; i < size; ++i) {
        text += QLatin1Char(digits[reply[i] >> 4]);
        text += QLatin1Char(digits[reply[i] & 0x0F]);
        text += QLatin1Char(' ');
    }
    return text;
}
