#pragma once

#include <cstdint>
#include <QString>

// Rows 1-16 of register table 7, one sales section each: 11 Windows-1251
// characters of name, the tax code, the "Разрядность" digit and the field of
// use (1 services, anything else trade).
namespace SectionsRow {

constexpr uint8_t table = 7;
constexpr int rowCount = 16;
constexpr int size = 14;
constexpr int nameLength = 11;

enum Column { CaptionColumn, NameColumn, TaxColumn, DigitsColumn, UseColumn };

// The field-of-use cell: "1" for services, "0" for trade, whatever else the byte holds.
QString useText(uint8_t byte);
// What the editor of a cell keeps of `text`: a name of up to 11 characters
// Windows-1251 can hold, a tax code 0-4, a digit 0-9.
QString filterCell(int column, const QString& text);

} // namespace SectionsRow
