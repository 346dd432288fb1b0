#pragma once

#include <cstdint>
#include <QString>

// Rows 1 (discount) and 2 (mark-up) of register table 5: the percentage in two
// packed BCD bytes, then the permission 0-2.
namespace DiscountRow {

constexpr uint8_t table = 5;
constexpr int rowCount = 2;
constexpr int size = 3;

// A permission above 2 shows as the first item.
int permissionItem(uint8_t byte);

// Whether a value text can go out as packed BCD: empty, or digits with at most
// one point, from 0 to 99.99. Anything else would reach the register as
// another percentage than the one typed.
bool valueFits(const QString& text, QChar point);

} // namespace DiscountRow
