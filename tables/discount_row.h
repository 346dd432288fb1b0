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

} // namespace DiscountRow
