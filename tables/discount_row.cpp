#include "discount_row.h"

#include <algorithm>

namespace DiscountRow {

int permissionItem(uint8_t byte) {
    return byte > 2 ? 0 : byte;
}

bool valueFits(const QString& text, QChar point) {
    const bool decimal = text.count(point) <= 1 && std::all_of(text.begin(), text.end(), [point](QChar c) {
                             return c == point || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
                         });
    return decimal && QString(text).replace(point, QLatin1Char('.')).toDouble() <= 99.99;
}

} // namespace DiscountRow
