#pragma once

#include <cstdint>
#include <QString>

// Rows 1-8 of register table 9, one operator each: 14 Windows-1251 characters
// of details, three bytes the page never interprets (sent back as read), and
// the rights mask, bit i for rights item i (bits 5-7 have no item).
namespace OperatorsRow {

constexpr uint8_t table = 9;
constexpr int rowCount = 8;
constexpr int size = 18;
constexpr int detailsLength = 14;
constexpr int maskByte = 17;
constexpr int rightsCount = 5;
// A call on this table is repeated until it answers more than 17, the row's
// last index, not merely 0 or more.
constexpr int32_t enough = 18;

enum Column { CaptionColumn, DetailsColumn, RightsColumn };

// What the editor of a cell keeps of `text`: details up to 14 characters that
// Windows-1251 can hold.
QString filterCell(int column, const QString& text);

} // namespace OperatorsRow
