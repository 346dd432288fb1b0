#pragma once

#include <cstdint>
#include <QString>

// Rows 1-4 of register table 6, one tax each: 5 Windows-1251 characters of
// name and the rate in two packed BCD bytes, shown with "." as the point.
namespace TaxesRow {

constexpr uint8_t table = 6;
constexpr int rowCount = 4;
constexpr int size = 7;
constexpr int nameLength = 5;
constexpr int rateByte = 5;
constexpr QChar point = QLatin1Char('.');

enum Column { CaptionColumn, NameColumn, RateColumn };

// What the editor of a cell keeps of `text` after each change: a name of up
// to 5 characters Windows-1251 can hold; a rate of two digits, the point and
// two decimals, the point put in as the third digit is typed.
QString filterCell(int column, const QString& text);

} // namespace TaxesRow
