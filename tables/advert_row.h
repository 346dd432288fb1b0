#pragma once

#include <cstdint>
#include <QByteArray>
#include <QString>

// Rows 1-6 of register table 4, the advertising lines printed at the start
// (rows 1-3) and the end (rows 4-6) of a receipt: 24 Windows-1251 characters
// padded with blanks, then the stretch mode 0-3.
namespace AdvertRow {

constexpr uint8_t table = 4;
constexpr int rowCount = 6;
constexpr int size = 25;
constexpr int textLength = 24;

// A stretch mode above 3 shows as none.
int stretchItem(uint8_t byte);
// The text padded with blanks or cut to 24 characters, then the item number
// kept to a byte (no item chosen gives 255).
QByteArray encode(const QString& text, int stretchItem);

// The line centred in the characters the stretch leaves it: 12 when stretched
// in width (items 1 and 3), else 24. Blanks and control characters around the
// text go first; only leading blanks are added, since a write pads the end.
QString centred(const QString& text, int stretchItem);

} // namespace AdvertRow
