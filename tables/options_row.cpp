#include "options_row.h"

namespace OptionsRow {

int backlightItem(uint8_t byte) {
    return byte > 7 ? 0 : byte;
}

int dateInterval(uint8_t byte) {
    return byte > 31 ? 0 : byte;
}

int fromBcd(uint8_t byte) {
    return byte % 16 + byte / 16 * 10;
}

uint8_t toBcd(int value) {
    return uint8_t(value / 10 * 16 + value % 10);
}

std::optional<QDate> decodeServiceDate(uint8_t day, uint8_t month, uint8_t year) {
    const QDate date(2000 + fromBcd(year), fromBcd(month), fromBcd(day));
    return date.isValid() ? std::optional(date) : std::nullopt;
}

std::array<uint8_t, 3> encodeServiceDate(const QDate& date) {
    const int year = date.year();
    return {toBcd(date.day()), toBcd(date.month()), uint8_t((year - 2000) / 10 * 16 + year % 10)};
}

} // namespace OptionsRow
